// The nozzle-check clock (template 309): shows the PC's time of day,
// refreshed every second for the rest of the run, and on Next sets the
// printer's clock to the PC's time at that moment.
#pragma once

#include <QString>

#include "workflows/common/local_time.h"
#include "workflows/common/procedure_page.h"

class CLocalTimeSetting1Page : public kpm::workflows::ProcedurePage {
public:
    static constexpr int kTemplate = 309;
    static constexpr int kTime = 1267;
    static constexpr int kTickMs = 1000;

    CLocalTimeSetting1Page() : ProcedurePage(kTemplate) {}

    // Where the page reads the PC's time (the system clock unless changed).
    void SetClock(kpm::workflows::ClockSource clock) { clock_ = std::move(clock); }

    bool OnSetActive() override;
    int OnWizardBack() override;
    int OnWizardNext() override;

protected:
    void OnInitDialog() override;
    void OnTimer(int id) override;

private:
    void ShowTime();

    kpm::workflows::ClockSource clock_ = kpm::workflows::SystemNow;
    QString time_ = QStringLiteral("--:--");
};
