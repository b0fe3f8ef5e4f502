// The flat interface end to end against the printer simulator over loopback:
// the request bytes as the simulator logged them, and each reply rule.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "bidi/capi/handle.h"
#include "bidi/capi/kpbidi.h"
#include "bidi/communications/linux/host_printer.h"
#include "tests/support/sha256.h"
#include "tools/printer-sim/log_content.h"
#include "tools/printer-sim/simulator.h"

namespace {

using Bytes = std::vector<unsigned char>;

class SimulatedPrinter : public ::testing::Test {
protected:
    void SetUp() override {
        handle_ = KpBidi::capi::AdoptPrinter(
            std::make_unique<KpBidi::communications::linux::HostPrinter>(sim_.address()), nullptr);
        ASSERT_NE(handle_, nullptr);
    }
    void TearDown() override { kpbidi_close_printer(handle_); }

    // The value of command `code` in the simulator's last logged request.
    Bytes Logged(std::uint16_t code) {
        const auto requests = sim_.requests();
        if (requests.empty()) {
            ADD_FAILURE() << "no request reached the printer";
            return {};
        }
        for (const auto& sent : requests.back().commands) {
            if (sent.code == code) {
                return sent.data;
            }
        }
        ADD_FAILURE() << "no command " << code << " in the last request";
        return {};
    }

    kpm::sim::Simulator sim_;
    kpbidi_printer_tag* handle_ = nullptr;
    kpbidi_error_tag error_{-2, "unset"};
};

std::string Take(char* text) {
    std::string copy = text ? text : "<null>";
    kpbidi_free_string(text);
    return copy;
}

TEST_F(SimulatedPrinter, IdentityAndNetworkSettingsRoundTrip) {
    sim_.UpdateState([](kpm::sim::PrinterState& s) {
        s.digits18Code = "BKPM735H0000000123";
        s.serialNumber = "A1B2C3D4";
        s.mac = {0x00, 0x1B, 0xA9, 0x0C, 0x22, 0xF7};
    });
    EXPECT_EQ(Take(kpbidi_get_printer_info(handle_, &error_)),
              R"({"digits_18_code":"BKPM735H0000000123","mac_address":"00:1b:a9:0c:22:f7",)"
              R"("serial_number":"A1B2C3D4"})");
    EXPECT_EQ(error_.code, 0);
    EXPECT_EQ(Logged(22), Bytes(8, 0));
    EXPECT_EQ(Logged(108), Bytes(8, 0));

    kpbidi_set_ip_mode(handle_, 0, &error_);
    EXPECT_EQ(error_.code, 0);
    EXPECT_EQ(Logged(76), (Bytes{0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(kpbidi_get_ip_mode(handle_, &error_), 0);
    EXPECT_EQ(error_.code, 0);

    const kpbidi_ip_settings_tag settings{{192, 168, 7, 20}, {255, 255, 255, 0}, {192, 168, 7, 1}};
    kpbidi_set_ip_settings(handle_, &settings, &error_);
    EXPECT_EQ(error_.code, 0);
    EXPECT_EQ(Logged(65), (Bytes{192, 168, 7, 20, 255, 255, 255, 0, 192, 168, 7, 1}));
    kpbidi_data_tag* block = kpbidi_read_data(handle_, 0x8011, &error_);
    ASSERT_NE(block, nullptr) << error_.code;
    ASSERT_GE(block->size, 96u);
    EXPECT_EQ(Bytes(block->data + 84, block->data + 96),
              (Bytes{192, 168, 7, 20, 255, 255, 255, 0, 192, 168, 7, 1}));
    EXPECT_EQ(Logged(28), (Bytes{0, 0, 0x80, 0x11, 0, 0, 0, 0}));
    kpbidi_free_data(block);

    kpbidi_set_host_name(handle_, "kpm-floor-2", &error_);
    EXPECT_EQ(Take(kpbidi_get_host_name(handle_, &error_)), "kpm-floor-2");
}

class LocalClock : public SimulatedPrinter {
protected:
    void SetUp() override {
        SimulatedPrinter::SetUp();
        setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        tzset();
    }
    void TearDown() override {
        unsetenv("TZ");
        tzset();
        SimulatedPrinter::TearDown();
    }
};

TEST_F(LocalClock, SetClockAtMidnight2000AndOneDayLater) {
    const std::uint64_t midnight2000 = 946681200;  // 2000-01-01 00:00 CET
    kpbidi_set_clock(handle_, midnight2000, &error_);
    // The printer refuses a clock before 2018 with status 19; what it was
    // sent is what counts here.
    EXPECT_EQ(error_.code, 19);
    EXPECT_EQ(error_.message, nullptr);
    EXPECT_EQ(Logged(128), (Bytes{0, 0, 0, 0, 0, 0, 0, 0}));
    kpbidi_set_clock(handle_, midnight2000 + 86400, &error_);
    EXPECT_EQ(Logged(128), (Bytes{0x00, 0x01, 0x51, 0x80, 0, 0, 0, 0}));

    // 2026-07-01 12:00 summer time (10:00 UTC): the wall clock arrives.
    kpbidi_set_clock(handle_, 1782900000, &error_);
    EXPECT_EQ(error_.code, 0);
    const std::uint32_t days = 9678;  // 2000-01-01 to 2026-07-01
    EXPECT_EQ(sim_.state().clockSeconds, days * 86400u + 12 * 3600u);
}

TEST_F(SimulatedPrinter, CirculationSchedules) {
    kpbidi_schedule_tag schedule{};
    kpbidi_set_circulation_schedule(handle_, &schedule, &error_);
    EXPECT_EQ(error_.code, 0);
    EXPECT_EQ(Logged(130), (Bytes{0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0xFF, 0xFF}));
    // The printer reports "none" as one entry at FF FF.
    EXPECT_EQ(Take(kpbidi_get_circulation_schedule(handle_, &error_)), "{}");

    schedule.count = 1;
    schedule.entries[0] = {6, 30, 2};
    kpbidi_set_circulation_schedule(handle_, &schedule, &error_);
    EXPECT_EQ(Logged(130), (Bytes{0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x06, 0x1E}));

    schedule.count = 2;
    schedule.entries[0] = {13, 0, 1};
    schedule.entries[1] = {6, 30, 2};
    kpbidi_set_circulation_schedule(handle_, &schedule, &error_);
    EXPECT_EQ(Take(kpbidi_get_circulation_schedule(handle_, &error_)),
              R"({"06:30":"long","13:00":"normal"})");
}

TEST_F(SimulatedPrinter, HeadSerialsAndFiring) {
    kpbidi_set_head_serial(handle_, 1, "AB", &error_);
    EXPECT_EQ(error_.code, 0);
    EXPECT_EQ(Logged(136), (Bytes{0, 0, 0, 1, 'A', 'B', 0, 0, 0, 0, 0, 0}));
    kpbidi_set_head_serial(handle_, 0, "GXA12345", &error_);
    EXPECT_EQ(Logged(136), (Bytes{0, 0, 0, 0, 'G', 'X', 'A', '1', '2', '3', '4', '5'}));
    EXPECT_EQ(sim_.state().heads[0].serial, "GXA12345");

    kpbidi_set_head_v_rating(handle_, 1, 17, &error_);
    EXPECT_EQ(Logged(72), (Bytes{0, 0, 0, 1, 0, 0, 0, 17}));

    // Firing values 1, -2, 3, 0 at 1200 dpi for the colour heads.
    kpbidi_set_color_firing(handle_, 1, 1, -2, 3, 0, &error_);
    EXPECT_EQ(error_.code, 0);
    EXPECT_EQ(Logged(46), (Bytes{0x01, 0x00, 0x00, 0x00, 0xFE, 0x01, 0x03, 0x00}));
    kpbidi_set_alignment(handle_, 1, 2, -2, &error_);
    EXPECT_EQ(Logged(63), (Bytes{0x01, 0x00, 0x02, 0xFE, 0, 0, 0, 0}));
    kpbidi_set_platen_rolling(handle_, 5, -5, &error_);
    EXPECT_EQ(Logged(109), (Bytes{0x00, 0x05, 0xFB, 0, 0, 0, 0, 0}));
    kpbidi_set_feed_adjustment(handle_, 1, 2, 3, 4, &error_);
    EXPECT_EQ(Logged(114), (Bytes{1, 2, 3, 4, 0, 0, 0, 0}));
    EXPECT_EQ(error_.code, 0);
}

TEST_F(SimulatedPrinter, RangeChecksSendNothing) {
    kpbidi_set_ip_mode(handle_, 2, &error_);
    EXPECT_EQ(error_.code, 1000);
    kpbidi_set_head_serial(handle_, 0, "123456789", &error_);
    EXPECT_EQ(error_.code, 1000);
    kpbidi_set_head_v_rating(handle_, 0, 18, &error_);
    EXPECT_EQ(error_.code, 1000);
    kpbidi_set_alignment(handle_, 2, 0, 0, &error_);
    EXPECT_EQ(error_.code, 1000);
    kpbidi_schedule_tag schedule{};
    schedule.count = 9;
    kpbidi_set_circulation_schedule(handle_, &schedule, &error_);
    EXPECT_EQ(error_.code, 1000);
    EXPECT_EQ(error_.message, nullptr);
    EXPECT_TRUE(sim_.requests().empty());
}

TEST_F(SimulatedPrinter, ReplyRules) {
    // A 4-byte IP-mode reply: mode 0 with the reply's status.
    sim_.AddFault("short:4@77x1");
    sim_.UpdateState([](kpm::sim::PrinterState& s) { s.ipMode = 1; });
    EXPECT_EQ(kpbidi_get_ip_mode(handle_, &error_), 0);
    EXPECT_EQ(error_.code, 0);

    // A 16-byte identity reply: bytes past the end read as zero.
    sim_.AddFault("short:16@108x1");
    sim_.UpdateState([](kpm::sim::PrinterState& s) { s.digits18Code = "123456789012345678"; });
    EXPECT_EQ(Take(kpbidi_get_printer_info(handle_, &error_)),
              R"({"digits_18_code":"123456789012","mac_address":"00:00:00:00:00:00",)"
              R"("serial_number":""})");

    sim_.AddFault("bad-checksum@28x1");
    EXPECT_EQ(kpbidi_read_data(handle_, 0x8016, &error_), nullptr);
    EXPECT_EQ(error_.code, 1006);

    sim_.AddFault("status:7@28x1");
    EXPECT_EQ(kpbidi_read_data(handle_, 0x8016, &error_), nullptr);
    EXPECT_EQ(error_.code, 7);
    EXPECT_EQ(error_.message, nullptr);

    sim_.AddFault("only-22x1");
    kpbidi_reset_platen_rolling(handle_, &error_);
    EXPECT_EQ(error_.code, 1006);

    sim_.AddFault("status:19@128x1");
    kpbidi_set_clock(handle_, 1'000'000'000, &error_);
    EXPECT_EQ(error_.code, 19);
    EXPECT_EQ(error_.message, nullptr);

    // Replies split over packets, a stale packet first, two packets in one
    // envelope: all still complete the exchange.
    for (const char* fault : {"split@75x1", "stale-id@75x1", "two-in-one@75x1"}) {
        sim_.AddFault(fault);
        EXPECT_NE(Take(kpbidi_get_host_name(handle_, &error_)), "<null>") << fault;
        EXPECT_EQ(error_.code, 0) << fault;
    }
}

// Fetches the log through the flat interface; returns the code and the
// SHA-256 of what arrived.
std::pair<int, std::string> FetchHash(kpbidi_printer_tag* printer, std::size_t stopAfter = 0) {
    struct Sink {
        kpm::test::Sha256 hash;
        std::size_t calls = 0;
        std::size_t stopAfter = 0;
    } sink;
    sink.stopAfter = stopAfter;
    kpbidi_error_tag error{};
    kpbidi_fetch_log(
        printer,
        [](void* context, const unsigned char* data, size_t size) {
            auto& s = *static_cast<Sink*>(context);
            s.hash.Update(data, size);
            return ++s.calls != s.stopAfter;
        },
        &sink, &error);
    return {error.code, sink.hash.Hex()};
}

std::string LogHash(const kpm::sim::LogSettings& settings, std::uint64_t upTo = ~0ull) {
    const kpm::sim::LogContent content(settings);
    kpm::test::Sha256 hash;
    std::vector<unsigned char> chunk(1 << 20);
    const std::uint64_t end = std::min(upTo, content.size());
    for (std::uint64_t at = 0; at < end; at += chunk.size()) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), end - at));
        content.Read(at, chunk.data(), n);
        hash.Update(chunk.data(), n);
    }
    return hash.Hex();
}

TEST_F(SimulatedPrinter, LogFetchOrderings) {
    kpm::sim::LogSettings settings;
    settings.size = 10 * 1000 + 7;
    settings.blockSize = 1000;
    const std::string whole = LogHash(settings);
    for (auto order : {kpm::sim::LogOrder::InOrder, kpm::sim::LogOrder::Reverse,
                       kpm::sim::LogOrder::Pairs, kpm::sim::LogOrder::Shuffle}) {
        settings.order = order;
        sim_.UpdateState([&](kpm::sim::PrinterState& s) { s.log = settings; });
        EXPECT_EQ(FetchHash(handle_), std::make_pair(0, whole)) << kpm::sim::LogOrderName(order);
    }
    settings.order = kpm::sim::LogOrder::InOrder;
    sim_.UpdateState([&](kpm::sim::PrinterState& s) { s.log = settings; });

    sim_.AddFault("log-no-last@35x1");
    EXPECT_EQ(FetchHash(handle_).first, 1006);
    // A repeated block is parked and holds back the rest: the fetch fails.
    sim_.AddFault("log-repeat:3@35x1");
    sim_.AddFault("log-shuffle:9@35x1");
    EXPECT_EQ(FetchHash(handle_).first, 1006);
    sim_.AddFault("log-gap:4@35x1");
    EXPECT_EQ(FetchHash(handle_).first, 1006);
    // Stopping after two blocks still reads the reply and succeeds.
    EXPECT_EQ(FetchHash(handle_, 2), std::make_pair(0, LogHash(settings, 2000)));
    // The next fetch is unaffected by the faults used up above.
    EXPECT_EQ(FetchHash(handle_), std::make_pair(0, whole));
}

TEST_F(SimulatedPrinter, LogOf64MiBArrivesWhole) {
    kpm::sim::LogSettings settings;
    settings.size = 64ull << 20;
    settings.blockSize = 64 * 1024;
    sim_.UpdateState([&](kpm::sim::PrinterState& s) { s.log = settings; });
    EXPECT_EQ(FetchHash(handle_), std::make_pair(0, LogHash(settings)));
}

}  // namespace
