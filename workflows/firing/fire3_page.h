// Firing adjustment, step 3 (template 131): the user prints the pattern at
// the printer once its panel shows the pattern's title.
#pragma once

#include "workflows/common/step_page.h"
#include "workflows/firing/firing_ids.h"

class CFire3Page : public kpm::workflows::StepPage {
    Q_OBJECT
public:
    CFire3Page();

    bool OnSetActive() override;
    int OnWizardNext() override { return kpm::ids::IDD_FIRE4; }
    int OnWizardBack() override { return kpm::ids::IDD_FIRE2; }
};
