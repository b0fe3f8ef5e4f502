// White/colour alignment, step 1 (template 138): the 13 x 13 matrix is
// sent, after resetting the alignment when the user asks for it.
#pragma once

#include "workflows/alignment/alignment_ids.h"
#include "workflows/common/step_page.h"

class CPos2Page : public kpm::workflows::StepPage {
    Q_OBJECT
public:
    CPos2Page();

    bool OnSetActive() override;
    int OnWizardNext() override;
    int OnWizardBack() override;
};
