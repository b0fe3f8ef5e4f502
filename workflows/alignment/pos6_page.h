// White/colour alignment, step 5 (template 142): is the centre square the
// clean one now? "Yes" ends at the main page; "No" offers "Re-adjust".
#pragma once

#include "workflows/alignment/alignment_ids.h"
#include "workflows/common/confirmation_page.h"

class CPos6Page : public kpm::workflows::ConfirmationPage {
    Q_OBJECT
public:
    CPos6Page();

    int OnWizardNext() override;
    int OnWizardBack() override { return kpm::ids::IDD_POS5; }

protected:
    void OpenExample() override;
};
