// Firing adjustment, step 6 (template 134): is the reprint good? "Yes"
// marks the combination done and goes on to the next one, or to the main
// page when all are done; "No" offers "Re-adjust" (step 4 again).
#pragma once

#include "workflows/common/confirmation_page.h"
#include "workflows/firing/firing_ids.h"

class CFire6Page : public kpm::workflows::ConfirmationPage {
    Q_OBJECT
public:
    CFire6Page();

    int OnWizardNext() override;
    int OnWizardBack() override { return kpm::ids::IDD_FIRE5; }

protected:
    void OnInitDialog() override;
    void OpenExample() override;
};
