#include "workflows/platen/impact_step_page.h"

#include "app/texts.h"
#include "app/tovik_sheet.h"

namespace kpm::workflows::platen {

void SetTexts(ui::DialogItems& items, const TextList& texts) {
    for (const auto& [control, text] : texts) {
        SetControlText(items.Item(control), text);
    }
}

StepPage::StepPage(int templateId, Step step)
    : ui::PropertyPage(templateId), step_(std::move(step)) {}

CTovikSheet* StepPage::TheSheet() const {
    return static_cast<CTovikSheet*>(Sheet());
}

void StepPage::OnInitDialog() {
    TheSheet()->SetBoldFont(Item(step_.caption));
    SetTexts(*this, step_.texts);
}

bool StepPage::OnSetActive() {
    TheSheet()->SetWizardButtonsDeferred(step_.buttons);
    return true;
}

int StepPage::OnWizardNext() {
    if (step_.marker != 0) {
        TheSheet()->SetReturnPage(step_.marker);
    }
    return step_.next;
}

int StepPage::OnWizardBack() {
    return step_.back;
}

}  // namespace kpm::workflows::platen
