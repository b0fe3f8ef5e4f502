// Head replacement, step 1 (template 228): which head was replaced, with
// the heads already set marked done. Next reads the heads' V-ratings from
// the printer for step 2.
#pragma once

#include "workflows/common/step_page.h"
#include "workflows/head/head_ids.h"

class CVRating1Page : public kpm::workflows::StepPage {
    Q_OBJECT
public:
    CVRating1Page();

    bool OnSetActive() override;
    int OnWizardNext() override;
    int OnWizardBack() override;

private:
    // The selected radio of the head group: 0 colour, 1 white, -1 none.
    int HeadIndex() const;
    void ShowStatus();
};
