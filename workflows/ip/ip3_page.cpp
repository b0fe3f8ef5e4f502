#include "workflows/ip/ip3_page.h"

#include "app/tovik_sheet.h"
#include "workflows/common/printer_operation.h"
#include "workflows/common/reported_operation.h"
#include "workflows/ip/ip_pages.h"

using kpm::workflows::RunPrinterOperation;
using kpm::workflows::RunReportingFailure;
using namespace kpm::ids;

bool CIp3Page::OnSetActive() {
    std::uint8_t mode = 0;
    TheSheet()->GetIpMode(mode);
    CheckRadio(IDC_IP3_MANUAL, IDC_IP3_AUTOMATIC, mode != 0 ? IDC_IP3_AUTOMATIC : IDC_IP3_MANUAL);
    return StepPage::OnSetActive();
}

int CIp3Page::OnWizardBack() {
    return IDD_MAIN;
}

int CIp3Page::OnWizardNext() {
    CTovikSheet& sheet = *TheSheet();
    const bool automatic = IsItemChecked(IDC_IP3_AUTOMATIC);
    // A mode the printer refused shows in the read that follows, so its
    // own result is not reported.
    RunPrinterOperation(sheet, [&] { return sheet.WriteIpMode(automatic ? 1 : 0); });
    if (!RunReportingFailure(
            sheet, [&] { return automatic ? sheet.ReadHostName() : sheet.ReadIpSettings(); })) {
        return -1;
    }
    return automatic ? IDD_IP4 : IDD_IP1;
}
