// The pages of the platen-rolling chain that prepare, print and reprint:
// steps 2, 3 and 5 of the banding phase, 7, 8 and 10 of the length phase.
#pragma once

#include <utility>

#include "workflows/common/step_page.h"

namespace kpm::workflows::platen {

// A step page whose picture area shows one picture (or, without one, gives
// its room back).
class PictureStepPage : public StepPage {
    Q_OBJECT
public:
    PictureStepPage(StepPageLayout layout, int pictureId)
        : StepPage(std::move(layout)), pictureId_(pictureId) {}

protected:
    void OnInitDialog() override;

private:
    int pictureId_;
};

}  // namespace kpm::workflows::platen

// Step 2: resets the platen-rolling values and sends the feeding pattern.
class CImpact1Page : public kpm::workflows::platen::PictureStepPage {
    Q_OBJECT
public:
    CImpact1Page();
    int OnWizardNext() override;
    int OnWizardBack() override;
};

// Step 3: the user prints the feeding pattern at the panel.
class CImpact2Page : public kpm::workflows::platen::PictureStepPage {
    Q_OBJECT
public:
    CImpact2Page();
    int OnWizardNext() override;
    int OnWizardBack() override;
};

// Step 5: reprint with the values written; no way back to the choice.
class CImpact4Page : public kpm::workflows::platen::PictureStepPage {
    Q_OBJECT
public:
    CImpact4Page();
    int OnWizardNext() override;
    int OnWizardBack() override;
};

// Step 7: writes the neutral feed correction and sends the 16-inch line.
// No Back, so the length phase cannot be left into the banding phase.
class CImpact6Page : public kpm::workflows::platen::PictureStepPage {
    Q_OBJECT
public:
    CImpact6Page();
    int OnWizardNext() override;
    int OnWizardBack() override;
};

// Step 8: the user prints the line at the panel.
class CImpact7Page : public kpm::workflows::platen::PictureStepPage {
    Q_OBJECT
public:
    CImpact7Page();
    int OnWizardNext() override;
    int OnWizardBack() override;
};

// Step 10: reprint with the correction written; Back stays available.
class CImpact9Page : public kpm::workflows::platen::PictureStepPage {
    Q_OBJECT
public:
    CImpact9Page();
    int OnWizardNext() override;
    int OnWizardBack() override;
};
