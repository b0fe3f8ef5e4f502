#include "bidi/capi/kpbidi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <system_error>

#include "bidi/capi/handle.h"
#include "tests/support/fake_printer.h"

namespace {

using KpBidi::communications::NetworkProtocol;
using kpm::test::Bytes;
using kpm::test::FakePrinter;
using kpm::test::StatusValue;

// A handle over a fake printer that stays observable.
struct Handle {
    explicit Handle(FakePrinter::Answer answer) {
        auto owned = std::make_unique<FakePrinter>(NetworkProtocol, std::move(answer));
        fake = owned.get();
        handle = KpBidi::capi::AdoptPrinter(std::move(owned), nullptr);
    }
    ~Handle() { kpbidi_close_printer(handle); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    const Bytes& Sent() const { return fake->requests.back().commands.back().second; }

    FakePrinter* fake = nullptr;
    kpbidi_printer_tag* handle = nullptr;
};

Handle Replying(std::uint16_t code, Bytes value) {
    return Handle(FakePrinter::Replying({{22, StatusValue(0)}, {code, std::move(value)}}));
}

kpbidi_error_tag Garbage() {
    return kpbidi_error_tag{12345, "stale"};
}

TEST(FlatInterface, NullHandleIs1000PrinterAndContactsNothing) {
    kpbidi_error_tag e = Garbage();
    EXPECT_EQ(kpbidi_get_printer_info(nullptr, &e), nullptr);
    EXPECT_EQ(e.code, 1000);
    EXPECT_STREQ(e.message, "printer");
    e = Garbage();
    EXPECT_EQ(kpbidi_get_ip_mode(nullptr, &e), 0);
    EXPECT_EQ(e.code, 1000);
    e = Garbage();
    kpbidi_set_clock(nullptr, 0, &e);
    EXPECT_STREQ(e.message, "printer");
    e = Garbage();
    EXPECT_EQ(kpbidi_read_data(nullptr, 0x8011, &e), nullptr);
    EXPECT_EQ(e.code, 1000);
    e = Garbage();
    kpbidi_fetch_log(nullptr, nullptr, nullptr, &e);
    EXPECT_EQ(e.code, 1000);
    EXPECT_STREQ(e.message, "printer");

    // NULL error records are allowed everywhere; NULL frees are harmless.
    EXPECT_EQ(kpbidi_get_host_name(nullptr, nullptr), nullptr);
    kpbidi_reset_platen_rolling(nullptr, nullptr);
    kpbidi_close_printer(nullptr);
    kpbidi_free_data(nullptr);
    kpbidi_free_string(nullptr);
}

TEST(FlatInterface, NullArgumentsAre1000WithTheirNameAndSendNothing) {
    Handle h = Replying(45, StatusValue(0));
    kpbidi_error_tag e = Garbage();
    kpbidi_set_ip_settings(h.handle, nullptr, &e);
    EXPECT_EQ(e.code, 1000);
    EXPECT_STREQ(e.message, "settings");
    kpbidi_set_host_name(h.handle, nullptr, &e);
    EXPECT_STREQ(e.message, "host_name");
    kpbidi_set_head_serial(h.handle, 0, nullptr, &e);
    EXPECT_STREQ(e.message, "serial");
    kpbidi_set_circulation_schedule(h.handle, nullptr, &e);
    EXPECT_STREQ(e.message, "schedule");
    kpbidi_fetch_log(h.handle, nullptr, nullptr, &e);
    EXPECT_STREQ(e.message, "callback");
    EXPECT_EQ(h.fake->connectorsCreated, 0);
    EXPECT_TRUE(h.fake->requests.empty());
}

TEST(FlatInterface, HandlerOrderAndCodes) {
    const auto codeFor = [](std::function<void()> thrower) {
        Handle h = Replying(34, StatusValue(0));
        h.fake->createError = std::move(thrower);
        kpbidi_error_tag e = Garbage();
        kpbidi_reset_color_firing(h.handle, 1, &e);
        return std::make_pair(e.code, e.message ? std::string(e.message) : std::string("<null>"));
    };
    EXPECT_EQ(codeFor([] { throw std::bad_alloc(); }), std::make_pair(1007, std::string("<null>")));
    static const char kStep[] = "Address::GetAddressInfo: name resolution is failed";
    EXPECT_EQ(codeFor([] { throw KpBidi::Error(1011, kStep); }),
              std::make_pair(1011, std::string(kStep)));
    EXPECT_EQ(codeFor([] { throw std::system_error(std::make_error_code(std::errc::io_error)); }),
              std::make_pair(1010, std::string("<null>")));
    EXPECT_EQ(codeFor([] { throw std::domain_error("Invalid protocol type."); }),
              std::make_pair(-1, std::string("Unexpected exception was thrown")));
    EXPECT_EQ(codeFor([] { throw 42; }),
              std::make_pair(-1, std::string("Unexpected exception was thrown")));
}

TEST(FlatInterface, PrinterStatusBecomesTheCodeAndClearsTheResult) {
    Handle h = Replying(83, {0, 0, 0, 19, 0, 0, 0, 0});
    kpbidi_error_tag e = Garbage();
    EXPECT_EQ(kpbidi_get_circulation_schedule(h.handle, &e), nullptr);
    EXPECT_EQ(e.code, 19);
    EXPECT_EQ(e.message, nullptr);

    Handle mode = Replying(66, {0, 0, 0, 7, 0, 0, 0, 1});
    EXPECT_EQ(kpbidi_get_ip_mode(mode.handle, &e), 0);
    EXPECT_EQ(e.code, 7);
}

TEST(FlatInterface, SuccessClearsTheRecord) {
    Handle h = Replying(66, {0, 0, 0, 0, 0, 0, 0, 1});
    kpbidi_error_tag e = Garbage();
    EXPECT_EQ(kpbidi_get_ip_mode(h.handle, &e), 1);
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.message, nullptr);
}

TEST(FlatInterface, RangeChecksSendNothing) {
    Handle h = Replying(65, StatusValue(0));
    kpbidi_error_tag e = Garbage();
    kpbidi_set_ip_mode(h.handle, 2, &e);
    EXPECT_EQ(e.code, 1000);
    EXPECT_EQ(e.message, nullptr);
    kpbidi_set_head_serial(h.handle, 0, "ABCDEFGHI", &e);
    EXPECT_EQ(e.code, 1000);
    kpbidi_set_head_v_rating(h.handle, 0, 18, &e);
    EXPECT_EQ(e.code, 1000);
    kpbidi_set_alignment(h.handle, 0x102, 0, 0, &e);  // low byte 2
    EXPECT_EQ(e.code, 1000);
    EXPECT_TRUE(h.fake->requests.empty());
}

TEST(FlatInterface, ArgumentPackingOfAdjustments) {
    kpbidi_error_tag e = Garbage();
    {
        Handle h = Replying(34, StatusValue(0));
        // Values 2, -4 (252), 6, 0 at 1200 dpi for the colour heads.
        kpbidi_set_color_firing(h.handle, 1, 2, 252, 6, 0, &e);
        EXPECT_EQ(e.code, 0);
        EXPECT_EQ(h.Sent(), (Bytes{1, 0, 0, 0, 252, 2, 6, 0}));
        kpbidi_set_white_firing(h.handle, 0x100, 1, -2, 3, 4, &e);
        EXPECT_EQ(h.Sent(), (Bytes{0, 1, 0, 1, 4, 3, 0xFE, 0}));
        kpbidi_reset_color_firing(h.handle, 1, &e);
        EXPECT_EQ(h.Sent(), (Bytes{1, 0, 1, 0, 0, 0, 0, 0}));
        kpbidi_reset_white_firing(h.handle, 0, &e);
        EXPECT_EQ(h.Sent(), (Bytes{0, 1, 1, 0, 0, 0, 0, 0}));
    }
    {
        Handle h = Replying(35, StatusValue(0));
        kpbidi_set_alignment(h.handle, 1, -6, 8, &e);
        EXPECT_EQ(h.Sent(), (Bytes{1, 0, 0xFA, 8, 0, 0, 0, 0}));
        kpbidi_reset_alignment(h.handle, 0, &e);
        EXPECT_EQ(h.Sent(), (Bytes{0, 1, 0, 0, 0, 0, 0, 0}));
    }
    {
        Handle h = Replying(61, StatusValue(0));
        kpbidi_set_platen_rolling(h.handle, 3, -3, &e);
        EXPECT_EQ(h.Sent(), (Bytes{0, 3, 0xFD, 0, 0, 0, 0, 0}));
        kpbidi_reset_platen_rolling(h.handle, &e);
        EXPECT_EQ(h.Sent(), (Bytes{1, 0, 0, 0, 0, 0, 0, 0}));
    }
    {
        Handle h = Replying(62, StatusValue(0));
        kpbidi_set_feed_adjustment(h.handle, 1, 2, 3, 0x1FF, &e);
        EXPECT_EQ(h.Sent(), (Bytes{1, 2, 3, 0xFF, 0, 0, 0, 0}));
    }
    {
        Handle h = Replying(45, StatusValue(0));
        const kpbidi_ip_settings_tag s{{10, 0, 0, 7}, {255, 0, 0, 0}, {10, 0, 0, 1}};
        kpbidi_set_ip_settings(h.handle, &s, &e);
        EXPECT_EQ(h.Sent(), (Bytes{10, 0, 0, 7, 255, 0, 0, 0, 10, 0, 0, 1}));
    }
    {
        Handle h = Replying(82, StatusValue(0));
        kpbidi_schedule_tag s{};
        s.count = 2;
        s.entries[0] = {8, 0, 1};
        s.entries[1] = {6, 30, 2};
        s.entries[2] = {99, 99, 9};  // beyond count: not read
        kpbidi_set_circulation_schedule(h.handle, &s, &e);
        EXPECT_EQ(e.code, 0);
        EXPECT_EQ(h.Sent(), (Bytes{2, 0, 0, 0, 1, 0, 8, 0, 2, 0, 6, 30}));
    }
}

std::string TakeText(char* text) {
    std::string copy = text ? text : "<null>";
    kpbidi_free_string(text);
    return copy;
}

Bytes InfoReply(const std::string& code, const std::string& serial, Bytes mac) {
    Bytes reply = StatusValue(0, {});
    reply.insert(reply.end(), code.begin(), code.end());
    reply.resize(22, 0);
    reply.insert(reply.end(), serial.begin(), serial.end());
    reply.resize(40, 0);
    reply.insert(reply.end(), mac.begin(), mac.end());
    return reply;
}

TEST(ResultDocuments, PrinterInfo) {
    kpbidi_error_tag e = Garbage();
    Handle h = Replying(
        60, InfoReply("123456789012345678", "A1B2C3D4", {0x00, 0x1B, 0xA9, 0x0C, 0x22, 0xF7}));
    const std::string doc = TakeText(kpbidi_get_printer_info(h.handle, &e));
    EXPECT_EQ(doc, R"({"digits_18_code":"123456789012345678","mac_address":"00:1b:a9:0c:22:f7",)"
                   R"("serial_number":"A1B2C3D4"})");
    EXPECT_EQ(doc.size(), 100u);

    Handle empty = Replying(60, InfoReply("1", "", Bytes(6, 0)));
    EXPECT_EQ(TakeText(kpbidi_get_printer_info(empty.handle, &e)),
              R"({"digits_18_code":"1","mac_address":"00:00:00:00:00:00","serial_number":""})");

    // Control characters are escaped; quotation marks and backslashes too.
    Handle odd = Replying(60, InfoReply("a\"b\\c", "x\ny\x01\t", Bytes(6, 0)));
    EXPECT_EQ(TakeText(kpbidi_get_printer_info(odd.handle, &e)),
              R"({"digits_18_code":"a\"b\\c","mac_address":"00:00:00:00:00:00",)"
              R"("serial_number":"x\ny\u0001\t"})");

    // Bytes that are not UTF-8 make the serializer fail.
    Handle bad = Replying(60, InfoReply("1", "\xC3\x28", Bytes(6, 0)));
    EXPECT_EQ(kpbidi_get_printer_info(bad.handle, &e), nullptr);
    EXPECT_EQ(e.code, -1);
    EXPECT_STREQ(e.message, "Unexpected exception was thrown");
    // Valid UTF-8 passes unchanged.
    Handle utf8 = Replying(60, InfoReply("1", "\xC3\xA9", Bytes(6, 0)));
    EXPECT_NE(TakeText(kpbidi_get_printer_info(utf8.handle, &e)).find("\"\xC3\xA9\""),
              std::string::npos);
}

Bytes ScheduleReply(std::initializer_list<std::array<unsigned char, 4>> entries) {
    Bytes reply{0, 0, 0, 0, static_cast<unsigned char>(entries.size()), 0, 0, 0};
    for (const auto& entry : entries) {
        reply.insert(reply.end(), entry.begin(), entry.end());
    }
    return reply;
}

TEST(ResultDocuments, CirculationSchedule) {
    kpbidi_error_tag e = Garbage();
    Handle twoEntries = Replying(83, ScheduleReply({{1, 0, 13, 0}, {2, 0, 6, 30}}));
    EXPECT_EQ(TakeText(kpbidi_get_circulation_schedule(twoEntries.handle, &e)),
              R"({"06:30":"long","13:00":"normal"})");
    Handle duplicate = Replying(83, ScheduleReply({{2, 0, 8, 0}, {1, 0, 8, 0}}));
    EXPECT_EQ(TakeText(kpbidi_get_circulation_schedule(duplicate.handle, &e)),
              R"({"08:00":"normal"})");
    Handle empty = Replying(83, ScheduleReply({{1, 0, 0xFF, 0xFF}}));
    EXPECT_EQ(TakeText(kpbidi_get_circulation_schedule(empty.handle, &e)), "{}");
    EXPECT_EQ(e.code, 0);
}

TEST(FlatInterface, HostNameIsCutAtItsFirstZeroByte) {
    Bytes reply = StatusValue(0, Bytes(32, 0));
    std::memcpy(&reply[4], "kpm-01\0junk", 11);
    Handle h = Replying(64, reply);
    kpbidi_error_tag e = Garbage();
    EXPECT_EQ(TakeText(kpbidi_get_host_name(h.handle, &e)), "kpm-01");

    kpbidi_set_host_name(h.handle, "abc", &e);  // (answered by 64, not 63)
    EXPECT_EQ(e.code, 1006);
}

TEST(FlatInterface, ReadDataRecord) {
    const Bytes data{1, 2, 3, 4, 5};
    Bytes reply = StatusValue(0, {0, 0, 0, 0});
    kpm::test::PutBe32(reply, 0x8016);
    kpm::test::PutBe32(reply, 3);
    kpm::test::PutBe32(reply, 5);
    reply.insert(reply.end(), data.begin(), data.end());
    kpm::test::PutBe32(reply, KpBidi::DataChecksum(data.data(), data.size()));
    Handle h(FakePrinter::Replying({{7, reply}}));
    kpbidi_error_tag e = Garbage();
    kpbidi_data_tag* record = kpbidi_read_data(h.handle, 0x8016, &e);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(record->value1, 0x8016u);
    EXPECT_EQ(record->value2, 3u);
    ASSERT_EQ(record->size, 5u);
    EXPECT_EQ(Bytes(record->data, record->data + record->size), data);
    kpbidi_close_printer(h.handle);  // records outlive their handle
    h.handle = nullptr;
    EXPECT_EQ(record->data[4], 5);
    kpbidi_free_data(record);
}

TEST(FlatInterface, FetchLogPassesContextAndResult) {
    Bytes block{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 1, 0, 0, 0, 'l', 'o', 'g'};
    Handle h(FakePrinter::Replying({{6, block}}));
    std::string sink;
    kpbidi_error_tag e = Garbage();
    kpbidi_fetch_log(
        h.handle,
        [](void* context, const unsigned char* data, size_t size) {
            static_cast<std::string*>(context)->append(reinterpret_cast<const char*>(data), size);
            return true;
        },
        &sink, &e);
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(sink, "log");
}

}  // namespace
