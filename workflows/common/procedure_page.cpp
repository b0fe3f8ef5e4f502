#include "workflows/common/procedure_page.h"

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "workflows/common/printer_operation.h"

namespace kpm::workflows {

CTovikSheet& ProcedurePage::TheSheet() const {
    return *static_cast<CTovikSheet*>(Sheet());
}

int ProcedurePage::RunOnPrinter(const std::function<int()>& operation) const {
    return RunPrinterOperation(TheSheet(), operation);
}

void ProcedurePage::SetTexts(std::initializer_list<std::pair<int, int>> texts) {
    for (const auto& [control, text] : texts) {
        SetControlText(Item(control), text);
    }
}

}  // namespace kpm::workflows
