#include "bidi/protocol/printer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "tests/support/fake_printer.h"

namespace {

using KpBidi::communications::NetworkProtocol;
using KpBidi::communications::UsbProtocol;
using kpm::test::Bytes;
using kpm::test::ErrorCode;
using kpm::test::FakePrinter;
using kpm::test::StatusValue;

// The value of the operation's command (the second one) of the last request.
const Bytes& SentValue(const FakePrinter& printer) {
    return printer.requests.back().commands.back().second;
}

FakePrinter Answering(std::uint16_t replyCode, Bytes value, int protocol = NetworkProtocol) {
    return FakePrinter(protocol, FakePrinter::Replying({{22, StatusValue(0)}, {replyCode, value}}));
}

class LocalTime : public ::testing::Test {
protected:
    // Central European time with summer time, without needing tzdata.
    void SetUp() override {
        const char* old = std::getenv("TZ");
        saved_ = old ? std::optional<std::string>(old) : std::nullopt;
        setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        tzset();
    }
    void TearDown() override {
        if (saved_) {
            setenv("TZ", saved_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    std::optional<std::string> saved_;
};

TEST(PrinterOperations, EveryRequestCarriesStatusCommandThenTheOperation) {
    FakePrinter printer = Answering(66, StatusValue(0, {0, 0, 0, 1}), UsbProtocol);
    const KpBidi::IpModeResult result = printer.GetIpMode();
    EXPECT_EQ(result.mode, 1);
    EXPECT_EQ(result.status, 0);
    ASSERT_EQ(printer.requests.size(), 1u);
    const auto& request = printer.requests[0];
    EXPECT_EQ(request.kind, 0x0C);
    EXPECT_EQ(request.subkind, 0x43);
    EXPECT_EQ(request.headerId, request.footerId);
    ASSERT_EQ(request.commands.size(), 2u);
    EXPECT_EQ(request.commands[0], std::make_pair(std::uint16_t{22}, Bytes(8, 0)));
    EXPECT_EQ(request.commands[1], std::make_pair(std::uint16_t{77}, Bytes(8, 0)));
}

TEST_F(LocalTime, SetClockSendsWallClockSecondsSince2000) {
    FakePrinter printer = Answering(80, StatusValue(0));
    std::tm t{};
    t.tm_year = 100;
    t.tm_mday = 1;
    t.tm_isdst = -1;
    const std::time_t y2000 = std::mktime(&t);  // 1999-12-31 23:00 UTC
    EXPECT_EQ(y2000, 946681200);

    EXPECT_EQ(printer.SetClock(static_cast<std::uint64_t>(y2000)), 0);
    EXPECT_EQ(SentValue(printer), (Bytes{0, 0, 0, 0, 0, 0, 0, 0}));
    printer.SetClock(static_cast<std::uint64_t>(y2000) + 86400);
    EXPECT_EQ(SentValue(printer), (Bytes{0x00, 0x01, 0x51, 0x80, 0, 0, 0, 0}));
    // One second before: the two's complement of -1.
    printer.SetClock(static_cast<std::uint64_t>(y2000) - 1);
    EXPECT_EQ(SentValue(printer), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}));

    // 2000-07-01 12:00 summer time is 10:00 UTC; the printer gets the wall
    // clock: 182 days and 12 hours after 2000-01-01 00:00.
    const std::uint64_t summerNoon = 962445600;
    printer.SetClock(summerNoon);
    const std::uint32_t expected = 182 * 86400 + 12 * 3600;
    EXPECT_EQ(SentValue(printer), (Bytes{static_cast<unsigned char>(expected >> 24),
                                         static_cast<unsigned char>(expected >> 16),
                                         static_cast<unsigned char>(expected >> 8),
                                         static_cast<unsigned char>(expected), 0, 0, 0, 0}));
}

TEST_F(LocalTime, SetClockRefusesTimesBeyondTheYear3000BeforeSending) {
    FakePrinter printer = Answering(80, StatusValue(0));
    EXPECT_EQ(ErrorCode([&] { printer.SetClock(40'000'000'000ull); }), 1000);
    EXPECT_EQ(ErrorCode([&] { printer.SetClock(~0ull); }), 1000);
    EXPECT_EQ(printer.connectorsCreated, 2);  // resolution still came first
    EXPECT_TRUE(printer.requests.empty());
}

TEST(PrinterOperations, SetCirculationScheduleValues) {
    FakePrinter printer = Answering(82, StatusValue(0, {0, 0, 0, 0}));
    KpBidi::ScheduleEntries schedule;
    printer.SetCirculationSchedule(schedule);
    EXPECT_EQ(SentValue(printer), (Bytes{0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0xFF, 0xFF}));

    schedule.count = 1;
    schedule.entries[0] = {6, 30, 2};
    printer.SetCirculationSchedule(schedule);
    EXPECT_EQ(SentValue(printer), (Bytes{0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x06, 0x1E}));

    schedule.count = 2;
    schedule.entries[1] = {23, 59, 1};
    printer.SetCirculationSchedule(schedule);
    EXPECT_EQ(SentValue(printer), (Bytes{2, 0, 0, 0, 2, 0, 6, 30, 1, 0, 23, 59}));

    const std::size_t sent = printer.requests.size();
    for (KpBidi::ScheduleEntry bad : {KpBidi::ScheduleEntry{24, 0, 1}, {0, 60, 1}, {0, 0, 3}}) {
        schedule.entries[1] = bad;
        EXPECT_EQ(ErrorCode([&] { printer.SetCirculationSchedule(schedule); }), 1000);
    }
    schedule.count = 9;
    EXPECT_EQ(ErrorCode([&] { printer.SetCirculationSchedule(schedule); }), 1000);
    EXPECT_EQ(printer.requests.size(), sent);
}

TEST(PrinterOperations, GetCirculationScheduleDecoding) {
    {
        FakePrinter p = Answering(83, {0, 0, 0, 0, 2, 0, 0, 0, 2, 0, 6, 30, 1, 9, 13, 0});
        const auto s = p.GetCirculationSchedule();
        ASSERT_EQ(s.count, 2);
        EXPECT_EQ(s.entries[0].hour, 6);
        EXPECT_EQ(s.entries[0].minute, 30);
        EXPECT_EQ(s.entries[0].kind, 2);
        EXPECT_EQ(s.entries[1].hour, 13);
        EXPECT_EQ(s.entries[1].kind, 1);
    }
    {  // count 2 whose first entry is FF FF: empty
        FakePrinter p = Answering(83, {0, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0xFF, 0xFF, 7, 0, 99, 99});
        EXPECT_EQ(p.GetCirculationSchedule().count, 0);
    }
    {  // status passed back with the record
        FakePrinter p = Answering(83, {0, 0, 0, 19, 0, 0, 0, 0});
        const auto s = p.GetCirculationSchedule();
        EXPECT_EQ(s.status, 19);
        EXPECT_EQ(s.count, 0);
    }
    // count above 8, value too short for its count, too short to hold a count
    EXPECT_EQ(ErrorCode([] { Answering(83, {0, 0, 0, 0, 9}).GetCirculationSchedule(); }), 1006);
    EXPECT_EQ(ErrorCode([] {
                  Answering(83, {0, 0, 0, 0, 2, 0, 0, 0, 1, 0, 6, 30}).GetCirculationSchedule();
              }),
              1006);
    EXPECT_EQ(ErrorCode([] { Answering(83, {0, 0, 0, 0}).GetCirculationSchedule(); }), 1006);
    // entry out of range: kind -> 1000, time -> 1006
    EXPECT_EQ(ErrorCode([] {
                  Answering(83, {0, 0, 0, 0, 1, 0, 0, 0, 3, 0, 6, 30}).GetCirculationSchedule();
              }),
              1000);
    EXPECT_EQ(ErrorCode([] {
                  Answering(83, {0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0}).GetCirculationSchedule();
              }),
              1006);
}

TEST(PrinterOperations, IpModeValuesAndReplies) {
    FakePrinter printer = Answering(65, StatusValue(0, {0, 0, 0, 0}));
    printer.SetIpMode(1);
    EXPECT_EQ(SentValue(printer), (Bytes{0, 0, 0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(ErrorCode([&] { printer.SetIpMode(2); }), 1000);
    EXPECT_EQ(ErrorCode([&] { printer.SetIpMode(-1); }), 1000);
    EXPECT_EQ(printer.requests.size(), 1u);

    // A 4-byte reply: mode 0 with the reply's status.
    const auto shortReply = Answering(66, {0, 0, 0, 14}).GetIpMode();
    EXPECT_EQ(shortReply.mode, 0);
    EXPECT_EQ(shortReply.status, 14);
    // A mode out of range is refused before the status is looked at.
    EXPECT_EQ(ErrorCode([] { Answering(66, {0, 0, 0, 7, 0, 0, 0, 2}).GetIpMode(); }), 1000);
}

TEST(PrinterOperations, HostNameAndIpSettings) {
    FakePrinter printer = Answering(63, StatusValue(0, {0, 0, 0, 0}));
    const std::string longName(40, 'h');
    printer.SetHostName(longName.data(), longName.size());
    EXPECT_EQ(SentValue(printer), Bytes(32, 'h'));  // cut, no terminator
    printer.SetHostName("ZEDora", 6);
    Bytes expected(32, 0);
    std::copy_n("ZEDora", 6, expected.begin());
    EXPECT_EQ(SentValue(printer), expected);

    FakePrinter settings = Answering(45, StatusValue(12, {0, 0, 0, 0}));
    EXPECT_EQ(settings.SetIpSettings({192, 168, 0, 5, 255, 255, 255, 0, 192, 168, 0, 254}), 12);
    EXPECT_EQ(SentValue(settings), (Bytes{192, 168, 0, 5, 255, 255, 255, 0, 192, 168, 0, 254}));

    Bytes reply = StatusValue(0, Bytes(32, 0));
    std::copy_n("printer-1", 9, reply.begin() + 4);
    const auto name = Answering(64, reply).GetHostName();
    EXPECT_EQ(name.text.size(), 32u);
    EXPECT_EQ(name.text.substr(0, 10), std::string("printer-1\0", 10));
    EXPECT_EQ(ErrorCode([] { Answering(64, StatusValue(0, Bytes(31, 0))).GetHostName(); }), 1006);
}

TEST(PrinterOperations, PrinterInfoDecoding) {
    Bytes reply = StatusValue(0, {});
    const std::string code = "123456789012345678";
    reply.insert(reply.end(), code.begin(), code.end());
    const std::string serial = "A1B2C3D4";
    reply.insert(reply.end(), serial.begin(), serial.end());
    reply.resize(40, 0);
    reply.insert(reply.end(), {0x00, 0x1B, 0xA9, 0x0C, 0x22, 0xF7});
    const auto info = Answering(60, reply).GetPrinterInfo();
    EXPECT_EQ(info.digits18Code, code);
    EXPECT_EQ(info.serialNumber, serial);
    EXPECT_EQ(info.macAddress, "00:1b:a9:0c:22:f7");

    // Exactly 16 bytes: the code is bytes 4-15, the rest reads as zero.
    const Bytes sixteen{0, 0, 0, 0, '1', '2', '3', '4', '5', '6', '7', '8', '9', '0', '1', '2'};
    const auto small = Answering(60, sixteen).GetPrinterInfo();
    EXPECT_EQ(small.digits18Code, "123456789012");
    EXPECT_EQ(small.serialNumber, "");
    EXPECT_EQ(small.macAddress, "00:00:00:00:00:00");
    EXPECT_EQ(ErrorCode([] { Answering(60, Bytes(15, 0)).GetPrinterInfo(); }), 1006);
}

TEST(PrinterOperations, HeadSerialAndVRating) {
    FakePrinter printer = Answering(88, StatusValue(0));
    printer.SetHeadSerial(1, "AB", 2);
    EXPECT_EQ(SentValue(printer), (Bytes{0, 0, 0, 1, 'A', 'B', 0, 0, 0, 0, 0, 0}));
    printer.SetHeadSerial(0, "GXA12345", 8);
    EXPECT_EQ(SentValue(printer), (Bytes{0, 0, 0, 0, 'G', 'X', 'A', '1', '2', '3', '4', '5'}));
    EXPECT_EQ(ErrorCode([&] { printer.SetHeadSerial(0, "GXA123456", 9); }), 1000);
    EXPECT_EQ(ErrorCode([&] { printer.SetHeadSerial(2, "A", 1); }), 1000);
    EXPECT_EQ(ErrorCode([&] { printer.SetHeadSerial(-1, "A", 1); }), 1000);
    EXPECT_EQ(printer.requests.size(), 2u);

    FakePrinter rating = Answering(52, StatusValue(0));
    rating.SetHeadVRating(1, 17);
    EXPECT_EQ(SentValue(rating), (Bytes{0, 0, 0, 1, 0, 0, 0, 17}));
    EXPECT_EQ(ErrorCode([&] { rating.SetHeadVRating(0, 18); }), 1000);
    EXPECT_EQ(ErrorCode([&] { rating.SetHeadVRating(0, -1); }), 1000);
    EXPECT_EQ(ErrorCode([&] { rating.SetHeadVRating(2, 0); }), 1000);
    EXPECT_EQ(rating.requests.size(), 1u);
}

TEST(PrinterOperations, AdjustmentValues) {
    FakePrinter firing = Answering(34, StatusValue(0));
    firing.SendFiring({1, 0, 5, 0xFE, 2, 3, 4});
    EXPECT_EQ(SentValue(firing), (Bytes{1, 0, 1, 0xFE, 2, 3, 4, 0}));

    FakePrinter alignment = Answering(35, StatusValue(0));
    alignment.SendAlignment({7, 1, 0x10, 0xF0});
    EXPECT_EQ(SentValue(alignment), (Bytes{1, 1, 0x10, 0xF0, 0, 0, 0, 0}));
    alignment.SendAlignment({0, 0, 1, 2});
    EXPECT_EQ(SentValue(alignment), (Bytes{0, 0, 1, 2, 0, 0, 0, 0}));
    EXPECT_EQ(ErrorCode([&] { alignment.SendAlignment({0, 2, 0, 0}); }), 1000);
    EXPECT_EQ(alignment.requests.size(), 2u);

    FakePrinter platen = Answering(61, StatusValue(0));
    platen.SendPlatenRolling({9, 0x81, 0x7F});
    EXPECT_EQ(SentValue(platen), (Bytes{1, 0x81, 0x7F, 0, 0, 0, 0, 0}));

    FakePrinter feed = Answering(62, StatusValue(0));
    feed.SendFeedAdjustment({1, 2, 3, 4});
    EXPECT_EQ(SentValue(feed), (Bytes{1, 2, 3, 4, 0, 0, 0, 0}));
}

TEST(PrinterOperations, StatusIsReturnedNotRaised) {
    EXPECT_EQ(Answering(34, StatusValue(14)).SendFiring({}), 14);
    EXPECT_EQ(Answering(34, StatusValue(-210)).SendFiring({}), -210);
    EXPECT_EQ(Answering(80, StatusValue(19)).SetClock(1'000'000'000), 19);
}

TEST(PrinterOperations, ReplyMissingOrTooShortIs1006) {
    // Only the answer to the status command.
    FakePrinter only22(NetworkProtocol, FakePrinter::Replying({{22, StatusValue(0)}}));
    EXPECT_EQ(ErrorCode([&] { only22.SendFiring({}); }), 1006);
    // Replies may come in any order and packets; the first match counts.
    FakePrinter split(UsbProtocol, [](const kpm::test::Request& r) {
        Bytes a = kpm::test::ReplyPacketBytes(r.headerId, {{34, StatusValue(6)}});
        const Bytes b = kpm::test::ReplyPacketBytes(r.headerId, {{22, {}}, {34, StatusValue(0)}});
        a.insert(a.end(), b.begin(), b.end());
        return a;
    });
    EXPECT_EQ(split.SendFiring({}), 6);
    EXPECT_EQ(ErrorCode([] { Answering(80, Bytes(15, 0)).SetClock(1'000'000'000); }), 1006);
    EXPECT_EQ(ErrorCode([] { Answering(82, Bytes(7, 0)).SetCirculationSchedule({}); }), 1006);
}

TEST(PrinterOperations, ResolutionErrorsComeFirst) {
    FakePrinter printer = Answering(52, StatusValue(0));
    printer.createError = [] { throw KpBidi::Error(KpBidi::PrinterNotFound); };
    // Even with an argument out of range, resolution decides.
    EXPECT_EQ(ErrorCode([&] { printer.SetHeadVRating(5, 99); }), 1001);
}

Bytes DataReply(std::int32_t status, std::uint32_t v1, std::uint32_t v2, const Bytes& data,
                std::int64_t checksumDelta = 0) {
    Bytes b;
    kpm::test::PutBe32(b, static_cast<std::uint32_t>(status));
    kpm::test::PutBe32(b, 0xDEADBEEF);  // not read
    kpm::test::PutBe32(b, v1);
    kpm::test::PutBe32(b, v2);
    kpm::test::PutBe32(b, static_cast<std::uint32_t>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    kpm::test::PutBe32(b, static_cast<std::uint32_t>(
                              KpBidi::DataChecksum(data.data(), data.size()) + checksumDelta));
    return b;
}

FakePrinter DataPrinter(Bytes value) {
    return FakePrinter(UsbProtocol, FakePrinter::Replying({{7, std::move(value)}}));
}

TEST(ReadData, DecodesBlockAndChecksum) {
    const Bytes data{0x01, 0x02, 0x03, 0x04, 0xFF, 0xFF, 0xFF, 0xFF, 0x10};
    // Words 0x01020304 + 0xFFFFFFFF + 0x10000000 (partial word, padded right).
    EXPECT_EQ(KpBidi::DataChecksum(data.data(), data.size()), 0x11020303u);
    FakePrinter printer = DataPrinter(DataReply(0, 0x8011, 7, data));
    const KpBidi::DataBlock block = printer.ReadData(0x8011);
    EXPECT_EQ(block.value1, 0x8011u);
    EXPECT_EQ(block.value2, 7u);
    EXPECT_EQ(block.data, data);
    // The request carries command 28 alone.
    ASSERT_EQ(printer.requests.back().commands.size(), 1u);
    EXPECT_EQ(printer.requests.back().commands[0],
              std::make_pair(std::uint16_t{28}, Bytes{0, 0, 0x80, 0x11, 0, 0, 0, 0}));
}

TEST(ReadData, Failures) {
    const Bytes data(10, 0x42);
    EXPECT_EQ(ErrorCode([&] { DataPrinter(DataReply(0, 1, 2, data, 1)).ReadData(1); }), 1006);
    EXPECT_EQ(ErrorCode([&] { DataPrinter(DataReply(7, 1, 2, data)).ReadData(1); }), 7);
    EXPECT_EQ(ErrorCode([&] { DataPrinter({0, 0, 0}).ReadData(1); }), 1006);
    // A non-zero status wins over a short value.
    EXPECT_EQ(ErrorCode([&] { DataPrinter({0, 0, 0, 7}).ReadData(1); }), 7);
    EXPECT_EQ(ErrorCode([&] { DataPrinter(Bytes(23, 0)).ReadData(1); }), 1006);
    Bytes cut = DataReply(0, 1, 2, data);
    cut.pop_back();
    EXPECT_EQ(ErrorCode([&] { DataPrinter(cut).ReadData(1); }), 1006);
    // A length field of 4 GiB in a short value.
    Bytes huge = DataReply(0, 1, 2, {});
    huge[16] = huge[17] = huge[18] = huge[19] = 0xFF;
    EXPECT_EQ(ErrorCode([&] { DataPrinter(huge).ReadData(1); }), 1006);
}

}  // namespace
