#include "workflows/ip/ip_pages.h"

#include "app/tovik_sheet.h"
#include "workflows/common/printer_operation.h"

namespace kpm::workflows::ip {

int BackToMethodPage(CTovikSheet& sheet, int from) {
    sheet.SetReturnPage(from);
    const int code = RunPrinterOperation(sheet, [&] { return sheet.ReadIpMode(); });
    if (code != 0) {
        sheet.ShowErrorMessage(code);
        return -1;
    }
    return kMethodPage;
}

}  // namespace kpm::workflows::ip
