// White/colour alignment, step 4 (template 141): the user prints the
// matrix again with the new alignment. There is no way back.
#pragma once

#include "workflows/alignment/alignment_ids.h"
#include "workflows/common/step_page.h"

class CPos5Page : public kpm::workflows::StepPage {
    Q_OBJECT
public:
    CPos5Page();

    bool OnSetActive() override;
    int OnWizardNext() override { return kpm::ids::IDD_POS6; }
};
