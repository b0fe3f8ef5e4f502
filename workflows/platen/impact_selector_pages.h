// The pages that take the user's reading of a print and write it: the
// smoothest FWD and RVS bands (step 4) and the measured length of the line
// (step 9). Each remembers the return marker it was entered with, without
// resetting it, so that Back returns to the confirmation only when its
// "Re-adjust" brought the user here; its selectors show "0" on every entry.
#pragma once

#include <functional>

#include "workflows/common/step_page.h"

namespace kpm::workflows::platen {

struct ReadingLayout {
    StepPageLayout page;
    int confirmation;  // the phase's confirmation page, whose marker counts
    int printStep;     // Back otherwise
    int next;
};

class ReadingPage : public StepPage {
    Q_OBJECT
public:
    explicit ReadingPage(ReadingLayout layout);

    bool OnSetActive() override;
    int OnWizardNext() override;
    int OnWizardBack() override;

protected:
    // The selectors back at "0".
    virtual void ResetReading() = 0;
    // The write of the reading as chosen now, to be run away from the
    // controls (on the printer operations' worker thread).
    virtual std::function<int()> WriteReading(CTovikSheet& sheet) = 0;

private:
    ReadingLayout reading_;
    int m_nEnteredFrom = -1;
};

}  // namespace kpm::workflows::platen

// Step 4.
class CImpact3Page : public kpm::workflows::platen::ReadingPage {
    Q_OBJECT
public:
    CImpact3Page();

protected:
    void OnInitDialog() override;
    void ResetReading() override;
    std::function<int()> WriteReading(CTovikSheet& sheet) override;
};

// Step 9. No print example.
class CImpact8Page : public kpm::workflows::platen::ReadingPage {
    Q_OBJECT
public:
    CImpact8Page();

protected:
    void OnInitDialog() override;
    void ResetReading() override;
    std::function<int()> WriteReading(CTovikSheet& sheet) override;
};
