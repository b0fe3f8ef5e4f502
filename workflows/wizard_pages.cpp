#include "workflows/wizard_pages.h"

#include "workflows/circulation/circulation_schedule1_page.h"
#include "workflows/circulation/circulation_schedule2_page.h"
#include "workflows/clock/local_time_setting1_page.h"
#include "workflows/ip/ip1_page.h"
#include "workflows/ip/ip2_page.h"
#include "workflows/ip/ip3_page.h"
#include "workflows/ip/ip4_page.h"

namespace kpm::workflows {

ui::PropertyPage* CreatePage(int templateId) {
    switch (templateId) {
        case CIp1Page::kTemplate:
            return new CIp1Page;
        case CIp2Page::kTemplate:
            return new CIp2Page;
        case CIp3Page::kTemplate:
            return new CIp3Page;
        case CIp4Page::kTemplate:
            return new CIp4Page;
        case CLocalTimeSetting1Page::kTemplate:
            return new CLocalTimeSetting1Page;
        case CCirculationSchedule1Page::kTemplate:
            return new CCirculationSchedule1Page;
        case CCirculationSchedule2Page::kTemplate:
            return new CCirculationSchedule2Page;
        default:
            return nullptr;
    }
}

}  // namespace kpm::workflows
