// IP address, step 1 (template 307): a static address or one acquired
// automatically. Leaving forwards writes the chosen mode to the printer,
// then reads what the next page shows.
#pragma once

#include "workflows/common/step_page.h"

class CIp3Page : public kpm::workflows::StepPage {
public:
    static constexpr int kTemplate = 307;
    static constexpr int kManual = 1258;
    static constexpr int kAutomatic = 1259;

    CIp3Page()
        : StepPage(
              {kTemplate, {{1256, 192}, {1257, 166}, {kManual, 172}, {kAutomatic, 175}}, {1256}}) {}

    bool OnSetActive() override;
    int OnWizardBack() override;
    int OnWizardNext() override;
};
