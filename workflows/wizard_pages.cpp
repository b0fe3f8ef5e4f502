#include "workflows/wizard_pages.h"

namespace kpm::workflows {

ui::PropertyPage* CreatePage(int templateId) {
    switch (templateId) {
        default:
            return nullptr;
    }
}

}  // namespace kpm::workflows
