// The nozzle-check clock (template 309): shows the PC's time of day,
// refreshed every second for the rest of the run, and on Next sets the
// printer's clock to the PC's time at that moment.
#pragma once

#include "workflows/clock/clock_ids.h"
#include "workflows/common/local_time.h"
#include "workflows/common/step_page.h"

class CLocalTimeSetting1Page : public kpm::workflows::StepPage {
public:
    CLocalTimeSetting1Page();

    // Where the page reads the PC's time (the system clock unless changed).
    void SetClock(kpm::workflows::ClockSource clock) { time_.SetClock(std::move(clock)); }

    int OnWizardBack() override;
    int OnWizardNext() override;

protected:
    void OnInitDialog() override;
    void OnTimer(int id) override;

private:
    kpm::workflows::TimeOfDayDisplay time_{kpm::ids::IDC_LOCAL_TIME_SETTING1_TIME};
};
