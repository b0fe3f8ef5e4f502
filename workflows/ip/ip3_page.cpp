#include "workflows/ip/ip3_page.h"

#include "app/tovik_sheet.h"
#include "workflows/common/printer_operation.h"
#include "workflows/common/reported_operation.h"
#include "workflows/ip/ip_pages.h"

using kpm::workflows::RunPrinterOperation;
using kpm::workflows::RunReportingFailure;

bool CIp3Page::OnSetActive() {
    std::uint8_t mode = 0;
    TheSheet()->GetIpMode(mode);
    CheckRadio(kManual, kAutomatic, mode != 0 ? kAutomatic : kManual);
    return StepPage::OnSetActive();
}

int CIp3Page::OnWizardBack() {
    return CTovikSheet::kMainPageTemplate;
}

int CIp3Page::OnWizardNext() {
    CTovikSheet& sheet = *TheSheet();
    const bool automatic = IsItemChecked(kAutomatic);
    // A mode the printer refused shows in the read that follows, so its
    // own result is not reported.
    RunPrinterOperation(sheet, [&] { return sheet.WriteIpMode(automatic ? 1 : 0); });
    if (!RunReportingFailure(
            sheet, [&] { return automatic ? sheet.ReadHostName() : sheet.ReadIpSettings(); })) {
        return -1;
    }
    return automatic ? kpm::workflows::ip::kHostNamePage : kpm::workflows::ip::kAddressPage;
}
