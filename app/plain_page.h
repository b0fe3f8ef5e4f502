// A page whose procedure is not part of the wizard yet: its template only.
// It offers Back, which returns to the main page.
#pragma once

#include "ui/property_page.h"

class CPlainPage : public ui::PropertyPage {
    Q_OBJECT
public:
    explicit CPlainPage(int templateId) : ui::PropertyPage(templateId) {}

    bool OnSetActive() override;
    int OnWizardBack() override;
};
