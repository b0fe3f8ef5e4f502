#include "workflows/ip/ip2_page.h"

#include "app/tovik_sheet.h"
#include "workflows/common/reported_operation.h"
#include "workflows/ip/ip_pages.h"

using kpm::workflows::RunReportingFailure;

int CIp2Page::OnWizardBack() {
    CTovikSheet& sheet = *TheSheet();
    const int from = sheet.GetReturnPage();
    if (!RunReportingFailure(sheet, [&] {
            return from == kpm::ids::IDD_IP1 ? sheet.ReadIpSettings() : sheet.ReadHostName();
        })) {
        return -1;
    }
    return from;
}

int CIp2Page::OnWizardNext() {
    return kpm::ids::IDD_MAIN;
}
