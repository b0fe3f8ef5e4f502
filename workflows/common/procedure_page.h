// What every page of a procedure does the same way: it reaches the wizard
// sheet as its owner, runs printer operations without freezing the window,
// and sets its texts from the string table.
#pragma once

#include <functional>
#include <initializer_list>
#include <utility>

#include "ui/property_page.h"

class CTovikSheet;

namespace kpm::workflows {

class ProcedurePage : public ui::PropertyPage {
public:
    using ui::PropertyPage::PropertyPage;

protected:
    CTovikSheet& TheSheet() const;
    // The sheet's operation `operation` on a worker thread (see
    // RunPrinterOperation); its code.
    int RunOnPrinter(const std::function<int()>& operation) const;
    // Each control's text from the string table, as {control, string id}.
    void SetTexts(std::initializer_list<std::pair<int, int>> texts);
};

}  // namespace kpm::workflows
