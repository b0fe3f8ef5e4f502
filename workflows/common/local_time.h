// The PC's clock as the pages that set the printer's clock use it: the
// time of day they show, and the moment they send.
#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>

class CTovikSheet;
class QWidget;

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

// The warning that the printer takes the PC's date as it is: the sheet's
// large bold font, in red.
void MakeDateWarning(CTovikSheet& sheet, QWidget* control);

}  // namespace kpm::workflows
