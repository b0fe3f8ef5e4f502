// White-ink circulation, step 1 (template 310): set the schedule (on to the
// start times) or cancel it (written to the printer at once).
#pragma once

#include "workflows/common/procedure_page.h"

class CCirculationSchedule1Page : public kpm::workflows::ProcedurePage {
public:
    static constexpr int kTemplate = 310;
    static constexpr int kSet = 1271;
    static constexpr int kCancel = 1272;
    enum Choice { kChoiceSet = 0, kChoiceCancel = 1 };

    CCirculationSchedule1Page() : ProcedurePage(kTemplate) {}

    bool OnSetActive() override;
    int OnWizardBack() override;
    int OnWizardNext() override;

protected:
    void OnInitDialog() override;

private:
    void TakeChoice();

    int choice_ = kChoiceSet;
};
