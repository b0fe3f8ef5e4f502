// The start times of the white-ink circulation as the user types them and
// as the printer takes them. A time code is hour * 256 + minute; a time
// text is "HH:MM".
#pragma once

#include <QString>
#include <QStringList>

namespace kpm::workflows::circulation {

enum class TimeFailure { None, Empty, Invalid, OutOfRange };

struct ParsedTime {
    int code = 0;  // valid when failure is None
    TimeFailure failure = TimeFailure::None;
    bool IsValid() const { return failure == TimeFailure::None; }
};

// Digits alone are read as HHMM, so "800" is 8:00 and "7" is 0:07; else
// "H:M" with exactly one colon, an empty side counting as 0 ("8:" is 8:00).
// Any other character is Invalid; an hour above 23 or a minute above 59 is
// OutOfRange.
ParsedTime ParseTimeText(const QString& text);

// "HH:MM" of a time code.
QString TimeText(int code);

// True when every gap between neighbouring times of `sorted` (ascending,
// distinct time texts), and from the last one round midnight to the first,
// is at least one hour and at most six.
bool GapsWithinLimits(const QStringList& sorted);

}  // namespace kpm::workflows::circulation
