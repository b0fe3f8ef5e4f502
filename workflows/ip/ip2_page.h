// IP address, step 3 (template 136): the address or host name has been
// assigned. Back reads the printer again and returns to the page that led
// here.
#pragma once

#include "workflows/common/procedure_page.h"

class CIp2Page : public kpm::workflows::ProcedurePage {
public:
    static constexpr int kTemplate = 136;

    CIp2Page() : ProcedurePage(kTemplate) {}

    bool OnSetActive() override;
    int OnWizardBack() override;
    int OnWizardNext() override;

protected:
    void OnInitDialog() override;
};
