// Firing adjustment, step 2 (template 130): the combination's firing
// values are reset and its check pattern is sent.
#pragma once

#include "workflows/common/step_page.h"

class CFire2Page : public kpm::workflows::StepPage {
    Q_OBJECT
public:
    CFire2Page();

    bool OnSetActive() override;
    int OnWizardNext() override;
    int OnWizardBack() override;
};
