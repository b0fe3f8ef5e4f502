// IP address, step 2 of an automatic address (template 308): the host name
// the printer is known by, shown as just read from the printer. Typing
// admits only the characters of a host name.
#pragma once

#include <QChar>

#include "workflows/common/step_page.h"
#include "workflows/ip/ip_ids.h"

class CIp4Page : public kpm::workflows::StepPage {
public:
    CIp4Page();

    // Letters A-Z and a-z, digits, "-" and ".".
    static bool IsHostNameCharacter(QChar c);

    bool OnSetActive() override;
    int OnWizardBack() override;
    int OnWizardNext() override;

protected:
    void OnInitDialog() override;
};
