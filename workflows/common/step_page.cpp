#include "workflows/common/step_page.h"

#include <utility>

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "workflows/common/check_pictures.h"
#include "workflows/common/common_ids.h"

namespace kpm::workflows {

StepPage::StepPage(StepPageLayout layout)
    : ui::PropertyPage(layout.templateId), layout_(std::move(layout)) {}

CTovikSheet* StepPage::TheSheet() const {
    return static_cast<CTovikSheet*>(Sheet());
}

void StepPage::OnInitDialog() {
    for (const ControlText& entry : layout_.texts) {
        SetControlText(Item(entry.control), entry.text);
    }
    for (int caption : layout_.captions) {
        if (QWidget* control = Item(caption)) {
            TheSheet()->SetBoldFont(control);
        }
    }
}

bool StepPage::OnSetActive() {
    TheSheet()->SetWizardButtonsDeferred(layout_.entryButtons);
    return true;
}

void StepPage::ShowPicture(int pictureId) {
    ShowCheckPicture(*this, kpm::ids::IDC_PICTURE, pictureId);
}

void StepPage::JumpTo(int templateId, int returnMarker) {
    CTovikSheet* sheet = TheSheet();
    sheet->SetReturnPage(returnMarker);
    sheet->SetActivePage(sheet->GetPageIndexByTemplate(templateId));
}

}  // namespace kpm::workflows
