// IP address, step 1 (template 307): a static address or one acquired
// automatically. Leaving forwards writes the chosen mode to the printer,
// then reads what the next page shows.
#pragma once

#include "workflows/common/step_page.h"
#include "workflows/ip/ip_ids.h"

class CIp3Page : public kpm::workflows::StepPage {
public:
    CIp3Page()
        : StepPage({kpm::ids::IDD_IP3,
                    {{kpm::ids::IDC_IP3_CAPTION, kpm::ids::IDS_STEP1},
                     {kpm::ids::IDC_IP3_TITLE, kpm::ids::IDS_IP_SELECT_METHOD},
                     {kpm::ids::IDC_IP3_MANUAL, kpm::ids::IDS_IP_MANUAL},
                     {kpm::ids::IDC_IP3_AUTOMATIC, kpm::ids::IDS_IP_AUTOMATIC}},
                    {kpm::ids::IDC_IP3_CAPTION}}) {}

    bool OnSetActive() override;
    int OnWizardBack() override;
    int OnWizardNext() override;
};
