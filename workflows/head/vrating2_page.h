// Head replacement, step 2 (template 229): the serial number and V-rating of
// the head chosen on step 1, both written to the printer on Next. Next is
// offered once the user has typed in the serial field (at once in demo mode,
// which fills in a sample serial).
#pragma once

#include "workflows/common/step_page.h"
#include "workflows/head/head_ids.h"

class CVRating2Page : public kpm::workflows::StepPage {
    Q_OBJECT
public:
    static constexpr int kHighestVRating = 17;

    CVRating2Page();

    bool OnSetActive() override;
    int OnWizardNext() override;
    int OnWizardBack() override;

protected:
    void OnInitDialog() override;

private:
    void OnSerialEdited();
    // Gives the serial field the focus with its whole text selected.
    void FocusSerial();

    int serialEdited_ = 0;
};
