// Firing adjustment, step 4 (template 132): the pattern number the user
// reads off the print, written to the printer as offsets. One selector is
// shown (head position K); Y, C and M stay at "5", that is no change.
#pragma once

#include <QString>

#include <array>

#include "workflows/common/step_page.h"
#include "workflows/firing/firing_ids.h"

class CFire4Page : public kpm::workflows::StepPage {
    Q_OBJECT
public:
    // Head positions of the selectors, in the order of the bounds below.
    enum Position { kK = 0, kM = 1, kC = 2, kY = 3 };
    static constexpr std::array<int, 4> kSelectors{kpm::ids::IDC_FIRE4_K, kpm::ids::IDC_FIRE4_M,
                                                   kpm::ids::IDC_FIRE4_C, kpm::ids::IDC_FIRE4_Y};
    static constexpr std::array<int, 4> kLabels{
        kpm::ids::IDC_FIRE4_LABEL_K, kpm::ids::IDC_FIRE4_LABEL_M, kpm::ids::IDC_FIRE4_LABEL_C,
        kpm::ids::IDC_FIRE4_LABEL_Y};

    CFire4Page();

    bool OnSetActive() override;
    int OnWizardNext() override;
    int OnWizardBack() override;

    // The offset written for a chosen step: colour v - 5, white 5 - v.
    static int Offset(int value, bool white) { return white ? 5 - value : value - 5; }

protected:
    void OnInitDialog() override;

private:
    std::array<QString, 4> m_strLabels;
    std::array<int, 4> m_nLowest{1, 1, 1, 1};
    std::array<int, 4> m_nHighest{9, 9, 9, 9};
    int m_nReturnPage = -1;
};
