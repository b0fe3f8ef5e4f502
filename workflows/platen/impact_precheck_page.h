// Step 1 of the platen-rolling adjustment: the user confirms that the head
// settings and the firing adjustment are done; the check box is the gate.
#pragma once

#include "workflows/common/step_page.h"

class CImpactPreCheckPage : public kpm::workflows::StepPage {
    Q_OBJECT
public:
    CImpactPreCheckPage();

    bool OnSetActive() override;
    int OnWizardNext() override;
    int OnWizardBack() override;

protected:
    void OnInitDialog() override;
};
