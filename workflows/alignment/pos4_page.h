// White/colour alignment, step 3 (template 140): the X and Y of the clean
// square the user reads off the print. The printer is moved by the opposite
// amount, unless that would take its X beyond the adjustable range.
#pragma once

#include "workflows/alignment/alignment_ids.h"
#include "workflows/common/step_page.h"

class CPos4Page : public kpm::workflows::StepPage {
    Q_OBJECT
public:
    CPos4Page();

    bool OnSetActive() override;
    int OnWizardNext() override;
    int OnWizardBack() override;

    // Whether the printer's X may become currentX + x: the sum plus 64 must
    // lie in 0..127.
    static bool IsXInRange(int currentX, int x);

protected:
    void OnInitDialog() override;

private:
    int m_nReturnPage = -1;
};
