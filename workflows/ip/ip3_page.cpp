#include "workflows/ip/ip3_page.h"

#include "app/tovik_sheet.h"
#include "workflows/ip/ip_pages.h"

void CIp3Page::OnInitDialog() {
    TheSheet().SetBoldFont(Item(1256));
    SetTexts({{1256, 192}, {1257, 166}, {kManual, 172}, {kAutomatic, 175}});
}

bool CIp3Page::OnSetActive() {
    std::uint8_t mode = 0;
    TheSheet().GetIpMode(mode);
    CheckRadio(kManual, kAutomatic, mode != 0 ? kAutomatic : kManual);
    TheSheet().SetWizardButtonsDeferred(ui::kWizBack | ui::kWizNext);
    return true;
}

int CIp3Page::OnWizardBack() {
    return CTovikSheet::kMainPageTemplate;
}

int CIp3Page::OnWizardNext() {
    CTovikSheet& sheet = TheSheet();
    const bool automatic = IsItemChecked(kAutomatic);
    // A mode the printer refused shows in the read that follows, so its
    // own result is not reported.
    RunOnPrinter([&] { return sheet.WriteIpMode(automatic ? 1 : 0); });
    const int code =
        RunOnPrinter([&] { return automatic ? sheet.ReadHostName() : sheet.ReadIpSettings(); });
    if (code != 0) {
        sheet.ShowErrorMessage(code);
        return -1;
    }
    return automatic ? kpm::workflows::ip::kHostNamePage : kpm::workflows::ip::kAddressPage;
}
