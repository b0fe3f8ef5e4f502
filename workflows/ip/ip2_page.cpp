#include "workflows/ip/ip2_page.h"

#include "app/tovik_sheet.h"
#include "workflows/ip/ip_pages.h"

void CIp2Page::OnInitDialog() {
    TheSheet().SetBoldFont(Item(1124));
    SetTexts({{1124, 194}, {1125, 227}, {1126, 228}});
}

bool CIp2Page::OnSetActive() {
    TheSheet().SetWizardButtonsDeferred(ui::kWizBack | ui::kWizNext);
    return true;
}

int CIp2Page::OnWizardBack() {
    CTovikSheet& sheet = TheSheet();
    const int from = sheet.GetReturnPage();
    const int code = RunOnPrinter([&] {
        return from == kpm::workflows::ip::kAddressPage ? sheet.ReadIpSettings()
                                                        : sheet.ReadHostName();
    });
    if (code != 0) {
        sheet.ShowErrorMessage(code);
        return -1;
    }
    return from;
}

int CIp2Page::OnWizardNext() {
    return CTovikSheet::kMainPageTemplate;
}
