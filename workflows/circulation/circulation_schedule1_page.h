// White-ink circulation, step 1 (template 310): set the schedule (on to the
// start times) or cancel it (written to the printer at once).
#pragma once

#include "workflows/circulation/circulation_ids.h"
#include "workflows/common/step_page.h"

class CCirculationSchedule1Page : public kpm::workflows::StepPage {
public:
    enum Choice { kChoiceSet = 0, kChoiceCancel = 1 };

    CCirculationSchedule1Page();

    bool OnSetActive() override;
    int OnWizardBack() override;
    int OnWizardNext() override;

protected:
    void OnInitDialog() override;

private:
    void TakeChoice();

    int choice_ = kChoiceSet;
};
