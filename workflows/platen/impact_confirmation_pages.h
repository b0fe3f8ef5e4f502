// The confirmation of each phase: is the reprint good? "Re-adjust" repeats
// the reading without a new pattern, "Return to Step N" the whole phase.
#pragma once

#include "workflows/common/confirmation_page.h"

// Step 6: are the bands around 0 the smoothest? Next goes on to the
// length phase.
class CImpact5Page : public kpm::workflows::ConfirmationPage {
    Q_OBJECT
public:
    CImpact5Page();
    int OnWizardNext() override;
    int OnWizardBack() override;

protected:
    void OpenExample() override;
};

// Step 11: is the line 16 inches long? Next ends at the main page. No
// print example.
class CImpact10Page : public kpm::workflows::ConfirmationPage {
    Q_OBJECT
public:
    CImpact10Page();
    int OnWizardNext() override;
    int OnWizardBack() override;
};
