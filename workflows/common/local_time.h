// The PC's clock as the pages that set the printer's clock use it: the
// time of day they show, and the moment they send.
#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>

class CTovikSheet;
class QWidget;

namespace ui {
class PropertyPage;
}

namespace kpm::workflows {

// Where a page reads the time; tests hand in a clock of their own.
using ClockSource = std::function<QDateTime()>;

// The system clock.
QDateTime SystemNow();

// Local hours and minutes, two digits each, 24-hour clock: "09:05".
QString TimeOfDayText(const QDateTime& now);

// Seconds since 1970-01-01 00:00 UTC, truncated to 32 bits, as the
// printer's clock is set.
std::uint32_t PrinterClockSeconds(const QDateTime& now);

// The PC's time of day in a control of a page, refreshed every second by
// the page's timer of the control's id from Start on, for as long as the
// page lives.
class TimeOfDayDisplay {
public:
    static constexpr int kTickMs = 1000;

    explicit TimeOfDayDisplay(int control) : control_(control) {}

    void SetClock(ClockSource clock) { clock_ = std::move(clock); }
    QDateTime Now() const { return clock_(); }
    // What the control shows ("--:--" before Start).
    const QString& Text() const { return text_; }

    void Start(ui::PropertyPage& page);
    // For the page's OnTimer: refreshes the control when `id` is its timer.
    void OnTimer(ui::PropertyPage& page, int id);

private:
    void Show(ui::PropertyPage& page);

    int control_;
    ClockSource clock_ = SystemNow;
    QString text_ = QStringLiteral("--:--");
};

// The warning that the printer takes the PC's date as it is: the sheet's
// large bold font, in red.
void MakeDateWarning(CTovikSheet& sheet, QWidget* control);

}  // namespace kpm::workflows
