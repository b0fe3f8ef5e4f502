#include "workflows/common/reported_operation.h"

#include "app/tovik_sheet.h"
#include "workflows/common/printer_operation.h"

namespace kpm::workflows {

bool RunReportingFailure(CTovikSheet& sheet, const std::function<int()>& operation) {
    const int code = RunPrinterOperation(sheet, operation);
    if (code != 0) {
        sheet.ShowErrorMessage(code);
        return false;
    }
    return true;
}

bool PrepareAndSendPattern(CTovikSheet& sheet, const std::function<int()>& prepare, int patternId) {
    return RunReportingFailure(sheet, [&] {
        const int prepared = prepare();
        return prepared != 0 ? prepared : sheet.SendCheckPattern(patternId);
    });
}

}  // namespace kpm::workflows
