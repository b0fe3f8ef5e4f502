// IP address, step 3 (template 136): the address or host name has been
// assigned. Back reads the printer again and returns to the page that led
// here.
#pragma once

#include "workflows/common/step_page.h"

class CIp2Page : public kpm::workflows::StepPage {
public:
    static constexpr int kTemplate = 136;

    CIp2Page() : StepPage({kTemplate, {{1124, 194}, {1125, 227}, {1126, 228}}, {1124}}) {}

    int OnWizardBack() override;
    int OnWizardNext() override;
};
