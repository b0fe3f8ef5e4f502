#include "workflows/common/confirmation_page.h"

#include <utility>

#include "app/tovik_sheet.h"

namespace kpm::workflows {

ConfirmationPage::ConfirmationPage(ConfirmationLayout layout)
    : StepPage(layout.page), confirm_(std::move(layout)) {}

void ConfirmationPage::OnInitDialog() {
    StepPage::OnInitDialog();
    OnClicked(confirm_.yes, [this] { OnAnswer(true); });
    OnClicked(confirm_.no, [this] { OnAnswer(false); });
    OnClicked(confirm_.reAdjust,
              [this] { JumpTo(confirm_.reAdjustTarget, confirm_.returnMarker); });
    OnClicked(confirm_.restart, [this] { JumpTo(confirm_.restartTarget, confirm_.returnMarker); });
    if (confirm_.example != 0) {
        OnClicked(confirm_.example, [this] { OpenExample(); });
    }
}

bool ConfirmationPage::OnSetActive() {
    StepPage::OnSetActive();
    CheckItem(confirm_.yes, false);
    CheckItem(confirm_.no, false);
    ShowItem(confirm_.reAdjust, false);
    ShowItem(confirm_.nextLine, false);
    return true;
}

void ConfirmationPage::OnAnswer(bool yes) {
    TheSheet()->SetWizardButtonsDeferred(yes ? confirm_.yesButtons : confirm_.noButtons);
    ShowItem(confirm_.reAdjust, !yes);
    ShowItem(confirm_.nextLine, yes);
}

}  // namespace kpm::workflows
