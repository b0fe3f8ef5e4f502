#include "workflows/platen/impact_confirmation_pages.h"

#include "app/tovik_sheet.h"
#include "workflows/platen/impact_exam_dialogs.h"
#include "workflows/platen/platen_ids.h"

using namespace kpm::workflows;
using namespace kpm::workflows::platen;

namespace {

constexpr int kCaption = 1177;
constexpr int kRestartCaption = 1181;

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
    layout.page.texts = {{kCaption, phase.stepText},
                         {1178, 148},
                         {1179, phase.question},
                         {1036, 156},
                         {1021, 157},
                         {1180, 146},
                         {1022, 129},
                         {kRestartCaption, phase.restartText},
                         {1019, phase.restartButton},
                         {1182, 150}};
    if (phase.example != 0) {
        layout.page.texts.push_back({phase.example, 158});
    }
    layout.page.captions = {kCaption, kRestartCaption};
    layout.page.entryButtons = ui::kWizBack;
    layout.nextLine = 1180;
    layout.example = phase.example;
    layout.returnMarker = phase.templateId;
    layout.reAdjustTarget = phase.reAdjustTarget;
    layout.restartTarget = phase.restartTarget;
    return layout;
}

}  // namespace

CImpact5Page::CImpact5Page()
    : ConfirmationPage(Confirmation({kImpact5, 197, 263, 274, 273, 1017, kImpact3, kImpact1})) {}

void CImpact5Page::OpenExample() {
    CImpactExam2Dlg example(TheSheet(), this);
    ExampleDialog::Open(example, *TheSheet());
}

int CImpact5Page::OnWizardNext() {
    TheSheet()->SetReturnPage(kImpact5);
    return kImpact6;
}

int CImpact5Page::OnWizardBack() {
    return kImpact4;
}

CImpact10Page::CImpact10Page()
    : ConfirmationPage(Confirmation({kImpact10, 280, 294, 392, 391, 0, kImpact8, kImpact6})) {}

int CImpact10Page::OnWizardNext() {
    TheSheet()->SetReturnPage(kImpact10);
    return CTovikSheet::kMainPageTemplate;
}

int CImpact10Page::OnWizardBack() {
    return kImpact9;
}
