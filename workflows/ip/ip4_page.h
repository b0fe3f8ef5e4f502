// IP address, step 2 of an automatic address (template 308): the host name
// the printer is known by, shown as just read from the printer. Typing
// admits only the characters of a host name.
#pragma once

#include <QChar>

#include "workflows/common/step_page.h"

class CIp4Page : public kpm::workflows::StepPage {
public:
    static constexpr int kTemplate = 308;
    static constexpr int kHostName = 1259;

    CIp4Page()
        : StepPage({kTemplate,
                    {{1260, 193}, {1261, 179}, {1262, 180}, {1127, 181}, {1263, 185}},
                    {1260}}) {}

    // Letters A-Z and a-z, digits, "-" and ".".
    static bool IsHostNameCharacter(QChar c);

    bool OnSetActive() override;
    int OnWizardBack() override;
    int OnWizardNext() override;

protected:
    void OnInitDialog() override;
};
