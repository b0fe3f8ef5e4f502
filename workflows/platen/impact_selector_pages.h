// The pages that take the user's reading of a print and write it: the
// smoothest FWD and RVS bands (step 4) and the measured length of the line
// (step 9). Each remembers the return marker it was entered with, without
// resetting it, so that Back returns to the confirmation only when its
// "Re-adjust" brought the user here.
#pragma once

#include "workflows/common/step_page.h"

class QComboBox;

// Step 4.
class CImpact3Page : public kpm::workflows::StepPage {
    Q_OBJECT
public:
    CImpact3Page();

    bool OnSetActive() override;
    int OnWizardNext() override;
    int OnWizardBack() override;

protected:
    void OnInitDialog() override;

private:
    int m_nEnteredFrom = -1;
};

// Step 9.
class CImpact8Page : public kpm::workflows::StepPage {
    Q_OBJECT
public:
    CImpact8Page();

    bool OnSetActive() override;
    int OnWizardNext() override;
    int OnWizardBack() override;

protected:
    void OnInitDialog() override;

private:
    int m_nEnteredFrom = -1;
};
