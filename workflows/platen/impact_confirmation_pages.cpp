#include "workflows/platen/impact_confirmation_pages.h"

#include "app/tovik_sheet.h"
#include "workflows/platen/impact_exam_dialogs.h"
#include "workflows/platen/platen_ids.h"

using namespace kpm::ids;
using namespace kpm::workflows;

namespace {

struct Phase {
    int templateId;
    int stepText;
    int question;
    int restartText;    // "Restart from the beginning of Step N ..."
    int restartButton;  // "Return to Step N"
    int example;        // the example button, 0 for none
    int reAdjustTarget;
    int restartTarget;
};

// Both confirmations: Back only until "Yes", the marker of the page itself
// for the page they jump to.
ConfirmationLayout Confirmation(const Phase& phase) {
    ConfirmationLayout layout;
    layout.page.templateId = phase.templateId;
    layout.page.texts = {{IDC_IMPACT_CONFIRM_CAPTION, phase.stepText},
                         {IDC_IMPACT_CONFIRM_TITLE, IDS_CONFIRM_RESULT},
                         {IDC_IMPACT_CONFIRM_QUESTION, phase.question},
                         {IDC_YES, IDS_YES},
                         {IDC_NO, IDS_NO},
                         {IDC_IMPACT_CONFIRM_CLICK_NEXT, IDS_CLICK_NEXT},
                         {IDC_READJUST, IDS_READJUST},
                         {IDC_IMPACT_CONFIRM_RESTART_TEXT, phase.restartText},
                         {IDC_RESTART, phase.restartButton},
                         {IDC_IMPACT_CONFIRM_PLATEN_HEIGHT, IDS_PLATEN_HEIGHT_A}};
    if (phase.example != 0) {
        layout.page.texts.push_back({phase.example, IDS_SEE_EXAMPLE});
    }
    layout.page.captions = {IDC_IMPACT_CONFIRM_CAPTION, IDC_IMPACT_CONFIRM_RESTART_TEXT};
    layout.page.entryButtons = ui::kWizBack;
    layout.nextLine = IDC_IMPACT_CONFIRM_CLICK_NEXT;
    layout.example = phase.example;
    layout.returnMarker = phase.templateId;
    layout.reAdjustTarget = phase.reAdjustTarget;
    layout.restartTarget = phase.restartTarget;
    return layout;
}

}  // namespace

CImpact5Page::CImpact5Page()
    : ConfirmationPage(Confirmation({IDD_IMPACT5, IDS_STEP6, IDS_IMPACT_IS_SMOOTHEST,
                                     IDS_IMPACT_RESTART_FROM_STEP2, IDS_IMPACT_RETURN_TO_STEP2,
                                     IDC_EXAMPLE, IDD_IMPACT3, IDD_IMPACT1})) {}

void CImpact5Page::OpenExample() {
    CImpactExam2Dlg example(TheSheet(), this);
    ExampleDialog::Open(example, *TheSheet());
}

int CImpact5Page::OnWizardNext() {
    TheSheet()->SetReturnPage(IDD_IMPACT5);
    return IDD_IMPACT6;
}

int CImpact5Page::OnWizardBack() {
    return IDD_IMPACT4;
}

CImpact10Page::CImpact10Page()
    : ConfirmationPage(Confirmation({IDD_IMPACT10, IDS_STEP11, IDS_IMPACT_IS_16_INCH,
                                     IDS_IMPACT_RESTART_FROM_STEP7, IDS_IMPACT_RETURN_TO_STEP7, 0,
                                     IDD_IMPACT8, IDD_IMPACT6})) {}

int CImpact10Page::OnWizardNext() {
    TheSheet()->SetReturnPage(IDD_IMPACT10);
    return IDD_MAIN;
}

int CImpact10Page::OnWizardBack() {
    return IDD_IMPACT9;
}
