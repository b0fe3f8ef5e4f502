// White/colour alignment, step 1 (template 138): the 13 x 13 matrix is
// sent, after resetting the alignment when the user asks for it.
#pragma once

#include "workflows/common/step_page.h"

class CPos2Page : public kpm::workflows::StepPage {
    Q_OBJECT
public:
    static constexpr int kResetFirst = 1292;

    CPos2Page();

    bool OnSetActive() override;
    int OnWizardNext() override;
    int OnWizardBack() override;
};
