// Reading the library's documents and data blocks back, including what the
// library would never send.
#include "access/printer_results.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using kpm::access::BlockByte;
using kpm::access::BlockInt16;
using kpm::access::BlockUint32;
using kpm::access::DecodeIdentity;
using kpm::access::DecodeSchedule;
using kpm::access::EncodeSchedule;

TEST(DecodeSchedule, MembersInTimeOrderWithTheirKind) {
    const auto schedule = DecodeSchedule(R"({"08:00":"normal","06:30":"long"})");
    ASSERT_TRUE(schedule);
    EXPECT_EQ(schedule->count, 2);
    EXPECT_EQ(schedule->time[0], 6 * 256 + 30);
    EXPECT_EQ(schedule->time[1], 8 * 256);
    EXPECT_EQ(schedule->enhanced[0], 1);
    EXPECT_EQ(schedule->enhanced[1], 0);

    EXPECT_EQ(DecodeSchedule("{}")->count, 0);
    // Anything but "long" is the normal circulation.
    const auto odd = DecodeSchedule(R"({"23:59":"LONG","00:00":7})");
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->time[0], 0);
    EXPECT_EQ(odd->time[1], 23 * 256 + 59);
    EXPECT_EQ(odd->enhanced, (std::array<int, 8>{}));
}

TEST(DecodeSchedule, AtMostEightEntries) {
    std::string document = "{";
    for (int hour = 10; hour < 20; ++hour) {
        document +=
            (hour > 10 ? "," : "") + std::string("\"") + std::to_string(hour) + ":00\":\"long\"";
    }
    document += "}";
    const auto schedule = DecodeSchedule(document);
    ASSERT_TRUE(schedule);
    EXPECT_EQ(schedule->count, 8);
    EXPECT_EQ(schedule->time[7], 17 * 256);
}

TEST(DecodeSchedule, RefusesWhatTheLibraryNeverSends) {
    for (const char* document :
         {"", "{", "[]", "\"06:30\"", R"({"6:30":"long"})", R"({"06:3":"long"})",
          R"({"06-30":"long"})", R"({"06:30 ":"long"})", R"({"0a:30":"long"})",
          R"({"06:30":"long","later":"normal"})", "{\"06:30\":\"long\"} trailing"}) {
        SCOPED_TRACE(document);
        EXPECT_FALSE(DecodeSchedule(document));
    }
}

TEST(EncodeSchedule, HourAndMinuteFromTheTimeCode) {
    const kpbidi_schedule_tag schedule =
        EncodeSchedule(2, {6 * 256 + 30, 8 * 256, 9 * 256, 0, 0, 0, 0, 0}, {1, 0, 1});
    EXPECT_EQ(schedule.count, 2);
    EXPECT_EQ(schedule.entries[0].hour, 6);
    EXPECT_EQ(schedule.entries[0].minute, 30);
    EXPECT_EQ(schedule.entries[0].kind, 2);
    EXPECT_EQ(schedule.entries[1].hour, 8);
    EXPECT_EQ(schedule.entries[1].minute, 0);
    EXPECT_EQ(schedule.entries[1].kind, 1);
    // Entries past the count are all zero.
    EXPECT_EQ(schedule.entries[2].hour, 0);
    EXPECT_EQ(schedule.entries[2].kind, 0);
}

TEST(DecodeIdentity, MembersByName) {
    const auto identity = DecodeIdentity(
        R"({"serial_number":"A1","mac_address":"00:1b:a9:0c:22:f7","digits_18_code":"B\u00e9"})");
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->code, QStringLiteral("B\u00e9"));
    EXPECT_EQ(identity->serial, QStringLiteral("A1"));
    EXPECT_EQ(identity->mac, QStringLiteral("00:1b:a9:0c:22:f7"));
    EXPECT_FALSE(DecodeIdentity(R"({"serial_number":"A1","mac_address":"x"})"));
    EXPECT_FALSE(DecodeIdentity(R"({"serial_number":1,"mac_address":"x","digits_18_code":"c"})"));
    EXPECT_FALSE(DecodeIdentity("not json"));
}

TEST(DataBlock, ValuesMostSignificantByteFirstWithinTheBlock) {
    std::vector<unsigned char> bytes{0xC0, 0xA8, 0x07, 0x14, 0xFF, 0xFD, 0x80};
    kpbidi_data_tag block{};
    block.size = bytes.size();
    block.data = bytes.data();
    EXPECT_EQ(BlockUint32(block, 0), 0xC0A80714u);
    EXPECT_EQ(BlockInt16(block, 4), -3);
    EXPECT_EQ(BlockByte(block, 6), 0x80);
    EXPECT_FALSE(BlockUint32(block, 4));
    EXPECT_FALSE(BlockInt16(block, 6));
    EXPECT_FALSE(BlockByte(block, 7));
    EXPECT_FALSE(BlockByte(block, static_cast<std::size_t>(-1)));
    block.data = nullptr;
    EXPECT_FALSE(BlockByte(block, 0));
}

}  // namespace
