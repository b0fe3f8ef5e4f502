#include "workflows/platen/send_pattern.h"

#include "app/tovik_sheet.h"
#include "workflows/common/printer_operation.h"

namespace kpm::workflows::platen {

bool PrepareAndSendPattern(CTovikSheet& sheet, const std::function<int(CTovikSheet&)>& prepare,
                           int patternId) {
    const int code = RunPrinterOperation(sheet, [&] {
        const int prepared = prepare(sheet);
        return prepared != 0 ? prepared : sheet.SendCheckPattern(patternId);
    });
    if (code != 0) {
        sheet.ShowErrorMessage(code);
        return false;
    }
    return true;
}

}  // namespace kpm::workflows::platen
