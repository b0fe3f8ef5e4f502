// White-ink circulation, step 1 (template 310): set the schedule (on to the
// start times) or cancel it (written to the printer at once).
#pragma once

#include "workflows/common/step_page.h"

class CCirculationSchedule1Page : public kpm::workflows::StepPage {
public:
    static constexpr int kTemplate = 310;
    static constexpr int kSet = 1271;
    static constexpr int kCancel = 1272;
    enum Choice { kChoiceSet = 0, kChoiceCancel = 1 };

    CCirculationSchedule1Page()
        : StepPage({kTemplate,
                    {{1269, 192}, {1270, 315}, {kSet, 316}, {kCancel, 317}, {1273, 318}},
                    {1269}}) {}

    bool OnSetActive() override;
    int OnWizardBack() override;
    int OnWizardNext() override;

protected:
    void OnInitDialog() override;

private:
    void TakeChoice();

    int choice_ = kChoiceSet;
};
