// Firing adjustment, step 5 (template 133): the user prints the pattern
// again with the new values. There is no way back: the values are written.
#pragma once

#include "workflows/common/step_page.h"
#include "workflows/firing/firing_ids.h"

class CFire5Page : public kpm::workflows::StepPage {
    Q_OBJECT
public:
    CFire5Page();

    bool OnSetActive() override;
    int OnWizardNext() override { return kpm::ids::IDD_FIRE6; }
};
