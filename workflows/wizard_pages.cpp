#include "workflows/wizard_pages.h"

#include "workflows/head/vrating1_page.h"
#include "workflows/head/vrating2_page.h"
#include "workflows/log/log1_page.h"
#include "workflows/log/log2_page.h"

namespace kpm::workflows {

ui::PropertyPage* CreatePage(int templateId) {
    switch (templateId) {
        case CVRating1Page::kTemplate:
            return new CVRating1Page;
        case CVRating2Page::kTemplate:
            return new CVRating2Page;
        case CLog1Page::kTemplate:
            return new CLog1Page;
        case CLog2Page::kTemplate:
            return new CLog2Page;
        default:
            return nullptr;
    }
}

}  // namespace kpm::workflows
