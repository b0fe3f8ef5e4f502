#include "workflows/ip/ip2_page.h"

#include "app/tovik_sheet.h"
#include "workflows/common/printer_operation.h"
#include "workflows/ip/ip_pages.h"

using kpm::workflows::RunPrinterOperation;

int CIp2Page::OnWizardBack() {
    CTovikSheet& sheet = *TheSheet();
    const int from = sheet.GetReturnPage();
    const int code = RunPrinterOperation(sheet, [&] {
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
