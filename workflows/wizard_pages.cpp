#include "workflows/wizard_pages.h"

#include "workflows/platen/impact_confirmation_pages.h"
#include "workflows/platen/impact_pages.h"
#include "workflows/platen/impact_precheck_page.h"
#include "workflows/platen/impact_selector_pages.h"

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
        case 233:
            return new CImpact3Page;
        case 234:
            return new CImpact4Page;
        case 237:
            return new CImpact5Page;
        case 280:
            return new CImpact6Page;
        case 281:
            return new CImpact7Page;
        case 276:
            return new CImpact8Page;
        case 282:
            return new CImpact9Page;
        case 283:
            return new CImpact10Page;
        default:
            return nullptr;
    }
}

}  // namespace kpm::workflows
