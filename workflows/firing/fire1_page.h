// Firing adjustment, step 1 (template 129): which combination of resolution
// and head kind to adjust, with the done state of each.
#pragma once

#include <QString>

#include <array>

#include "workflows/common/step_page.h"

class CFire1Page : public kpm::workflows::StepPage {
    Q_OBJECT
public:
    CFire1Page();

    bool OnSetActive() override;
    int OnWizardNext() override;
    int OnWizardBack() override;

protected:
    void OnInitDialog() override;

private:
    void ChooseDefaultCombination();

    // Status texts of combinations 0 to 3.
    std::array<QString, 4> m_strStatus;
    int m_nReturnPage = -1;
};
