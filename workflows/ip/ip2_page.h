// IP address, step 3 (template 136): the address or host name has been
// assigned. Back reads the printer again and returns to the page that led
// here.
#pragma once

#include "workflows/common/step_page.h"
#include "workflows/ip/ip_ids.h"

class CIp2Page : public kpm::workflows::StepPage {
public:
    CIp2Page()
        : StepPage({kpm::ids::IDD_IP2,
                    {{kpm::ids::IDC_IP2_CAPTION, kpm::ids::IDS_STEP3},
                     {kpm::ids::IDC_IP2_TITLE, kpm::ids::IDS_IP_ASSIGNED},
                     {kpm::ids::IDC_IP2_TEXT, kpm::ids::IDS_IP_ASSIGNED_TEXT}},
                    {kpm::ids::IDC_IP2_CAPTION}}) {}

    int OnWizardBack() override;
    int OnWizardNext() override;
};
