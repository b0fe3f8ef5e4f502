// Reading the start times as the user types them, and the gap rule.
#include "workflows/circulation/schedule_time.h"

#include <gtest/gtest.h>

namespace {

using kpm::workflows::circulation::GapsWithinLimits;
using kpm::workflows::circulation::ParseTimeText;
using kpm::workflows::circulation::TimeFailure;
using kpm::workflows::circulation::TimeText;

TEST(ScheduleTime, TextsReadAsTimesOrFail) {
    struct Case {
        const char* text;
        const char* time;  // nullptr: fails
        TimeFailure failure;
    };
    const Case cases[] = {
        {"800", "08:00", TimeFailure::None},
        {"2359", "23:59", TimeFailure::None},
        {"7", "00:07", TimeFailure::None},
        {"0", "00:00", TimeFailure::None},
        {"12345", "23:45", TimeFailure::None},
        {"0000000000000815", "08:15", TimeFailure::None},
        {"8:00", "08:00", TimeFailure::None},
        {"8:", "08:00", TimeFailure::None},
        {":30", "00:30", TimeFailure::None},
        {":", "00:00", TimeFailure::None},
        {"23:5", "23:05", TimeFailure::None},
        {"007:0009", "07:09", TimeFailure::None},
        {"", nullptr, TimeFailure::Empty},
        {"1:2:3", nullptr, TimeFailure::Invalid},
        {"8.00", nullptr, TimeFailure::Invalid},
        {" 800", nullptr, TimeFailure::Invalid},
        {"-1", nullptr, TimeFailure::Invalid},
        {"８００", nullptr, TimeFailure::Invalid},
        {"2400", nullptr, TimeFailure::OutOfRange},
        {"1260", nullptr, TimeFailure::OutOfRange},
        {"24:00", nullptr, TimeFailure::OutOfRange},
        {"0:60", nullptr, TimeFailure::OutOfRange},
        {"99999999999:1", nullptr, TimeFailure::OutOfRange},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto parsed = ParseTimeText(QString::fromUtf8(c.text));
        EXPECT_EQ(parsed.failure, c.failure);
        if (c.time != nullptr) {
            EXPECT_EQ(TimeText(parsed.code), QString::fromLatin1(c.time));
        }
    }
    EXPECT_EQ(ParseTimeText(QStringLiteral("6:30")).code, 6 * 256 + 30);
}

TEST(ScheduleTime, GapsOfOneToSixHoursRoundTheDay) {
    struct Case {
        QStringList sorted;
        bool within;
    };
    const Case cases[] = {
        {{"00:00", "04:00", "08:00", "12:00", "16:00", "20:00"}, true},
        {{"02:00", "06:00", "10:00", "14:00", "18:00", "20:00"}, true},   // 6 h round midnight
        {{"01:00", "02:00", "03:00", "04:00", "05:00", "06:00"}, false},  // 19 h back to 1:00
        {{"00:00", "00:59", "04:00", "08:00", "12:00", "16:00", "20:00"}, false},
        {{"00:00", "01:00", "04:00", "08:00", "12:00", "16:00", "20:00"}, true},
        {{"00:00", "06:01", "09:00", "12:00", "15:00", "18:00"}, false},
        {{"23:00", "23:30"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sorted.join(' ').toStdString());
        EXPECT_EQ(GapsWithinLimits(c.sorted), c.within);
    }
}

}  // namespace
