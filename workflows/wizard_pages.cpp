#include "workflows/wizard_pages.h"

#include "workflows/platen/impact_pages.h"
#include "workflows/platen/impact_precheck_page.h"

namespace kpm::workflows {

ui::PropertyPage* CreatePage(int templateId) {
    switch (templateId) {
        // Platen-rolling adjustment.
        case 252:
            return new CImpactPreCheckPage;
        case 230:
            return new CImpact1Page;
        case 231:
            return new CImpact2Page;
        case 234:
            return new CImpact4Page;
        case 280:
            return new CImpact6Page;
        case 281:
            return new CImpact7Page;
        case 282:
            return new CImpact9Page;
        default:
            return nullptr;
    }
}

}  // namespace kpm::workflows
