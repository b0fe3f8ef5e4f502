#include "workflows/ip/ip_pages.h"

#include "app/tovik_sheet.h"
#include "workflows/common/reported_operation.h"
#include "workflows/ip/ip_ids.h"

namespace kpm::workflows::ip {

int BackToMethodPage(CTovikSheet& sheet, int from) {
    sheet.SetReturnPage(from);
    if (!kpm::workflows::RunReportingFailure(sheet, [&] { return sheet.ReadIpMode(); })) {
        return -1;
    }
    return kpm::ids::IDD_IP3;
}

}  // namespace kpm::workflows::ip
