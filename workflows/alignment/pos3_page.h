// White/colour alignment, step 2 (template 139): the user prints the
// matrix at the printer once its panel shows "ALIGN CHK".
#pragma once

#include "workflows/alignment/alignment_ids.h"
#include "workflows/common/step_page.h"

class CPos3Page : public kpm::workflows::StepPage {
    Q_OBJECT
public:
    CPos3Page();

    bool OnSetActive() override;
    int OnWizardNext() override { return kpm::ids::IDD_POS4; }
    int OnWizardBack() override { return kpm::ids::IDD_POS2; }
};
