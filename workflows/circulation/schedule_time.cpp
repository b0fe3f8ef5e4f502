#include "workflows/circulation/schedule_time.h"

#include <cstddef>

namespace kpm::workflows::circulation {

namespace {

constexpr int kMinutesPerDay = 24 * 60;
constexpr int kShortestGap = 60;
constexpr int kLongestGap = 6 * 60;

bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The decimal value of a run of digits, or -1 past what any hour or minute
// could be (so a long run of digits cannot overflow).
int SmallValue(QStringView digits) {
    int value = 0;
    for (const QChar c : digits) {
        value = value * 10 + (c.unicode() - u'0');
        if (value > 999) {
            return -1;
        }
    }
    return value;
}

ParsedTime Checked(int hour, int minute) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59) {
        return {0, TimeFailure::OutOfRange};
    }
    return {hour * 256 + minute, TimeFailure::None};
}

int Minutes(const QString& text) {
    const ParsedTime time = ParseTimeText(text);
    return (time.code >> 8) * 60 + (time.code & 0xFF);
}

}  // namespace

ParsedTime ParseTimeText(const QString& text) {
    if (text.isEmpty()) {
        return {0, TimeFailure::Empty};
    }
    bool onlyDigits = true;
    for (const QChar c : text) {
        if (!IsDigit(c)) {
            onlyDigits = false;
            if (c != u':') {
                return {0, TimeFailure::Invalid};
            }
        }
    }
    if (onlyDigits) {
        // HHMM of the number, that is of its last four digits.
        const QStringView last = QStringView(text).right(4);
        const int n = SmallValue(last.left(last.size() > 2 ? last.size() - 2 : 0)) * 100 +
                      SmallValue(last.right(2));
        return Checked(n / 100 % 100, n % 100);
    }
    const QStringList parts = text.split(u':', Qt::KeepEmptyParts);
    if (parts.size() != 2) {
        return {0, TimeFailure::Invalid};
    }
    return Checked(SmallValue(parts[0]), SmallValue(parts[1]));
}

QString TimeText(int code) {
    return QStringLiteral("%1:%2")
        .arg((code >> 8) & 0xFF, 2, 10, QLatin1Char('0'))
        .arg(code & 0xFF, 2, 10, QLatin1Char('0'));
}

bool GapsWithinLimits(const QStringList& sorted) {
    const qsizetype n = sorted.size();
    for (qsizetype i = 0; i < n; ++i) {
        int gap = Minutes(sorted[(i + 1) % n]) - Minutes(sorted[i]);
        if (gap <= 0) {
            gap += kMinutesPerDay;
        }
        if (gap < kShortestGap || gap > kLongestGap) {
            return false;
        }
    }
    return true;
}

}  // namespace kpm::workflows::circulation
