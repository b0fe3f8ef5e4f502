// The last step of an adjustment procedure: "Is the print good?" with Yes
// and No. Next is offered only after "Yes"; "No" offers "Re-adjust" instead
// of the "- Click "Next"." line. "Re-adjust" and "Return to Step N" set the
// return marker and activate a page of the chain directly. Both radios are
// cleared on every entry, so a previous answer never carries over.
#pragma once

#include "workflows/common/common_ids.h"
#include "workflows/common/step_page.h"

namespace kpm::workflows {

struct ConfirmationLayout {
    StepPageLayout page;  // its entryButtons are the buttons before an answer
    int yes = ids::IDC_YES;
    int no = ids::IDC_NO;
    int nextLine = 0;  // "- Click "Next"."
    int reAdjust = ids::IDC_READJUST;
    int restart = ids::IDC_RESTART;  // "Return to Step N"
    int example = ids::IDC_EXAMPLE;  // 0: the page has no example button
    int returnMarker = -1;
    int reAdjustTarget = 0;  // template ids of the pages activated
    int restartTarget = 0;
    int yesButtons = ui::kWizBack | ui::kWizNext;
    int noButtons = ui::kWizBack;
};

class ConfirmationPage : public StepPage {
    Q_OBJECT
public:
    explicit ConfirmationPage(ConfirmationLayout layout);

    bool OnSetActive() override;

protected:
    void OnInitDialog() override;
    // "See the print example ...".
    virtual void OpenExample() {}

private:
    void OnAnswer(bool yes);

    ConfirmationLayout confirm_;
};

}  // namespace kpm::workflows
