// The printer operations facade against a simulated printer, reached by its
// print-queue name through the private cupsd: what each operation sends, and
// what it makes of the answer.
#include "access/printer_facade.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "bidi/capi/handle.h"
#include "tests/support/cups_queues.h"
#include "tests/support/fake_printer.h"
#include "tools/printer-sim/simulator.h"

namespace {

using Bytes = std::vector<unsigned char>;
using kpm::test::Queues;
using kpm::test::UniqueQueueName;

class TestFacade : public kpm::access::PrinterFacade {
public:
    bool demo = false;
    using PrinterFacade::SetOpenPrinter;

protected:
    bool InDemoMode() const override { return demo; }
};

class FacadeOnCups : public ::testing::Test {
protected:
    void SetUp() override {
        name_ = UniqueQueueName("facade");
        queues_.Add(name_, sim_.JobDeviceUri());
        facade_.m_strPrinterName = QString::fromStdString(name_);
    }

    // The commands of every request the printer received, in order, without
    // the status request 22 that each carries.
    std::vector<std::pair<std::uint16_t, Bytes>> Sent() const {
        std::vector<std::pair<std::uint16_t, Bytes>> sent;
        for (const auto& request : sim_.requests()) {
            for (const auto& command : request.commands) {
                if (command.code != 22) {
                    sent.emplace_back(command.code, command.data);
                }
            }
        }
        return sent;
    }
    void ClearSent() { sim_.ClearRequests(); }

    kpm::sim::Simulator sim_;
    Queues queues_;
    std::string name_;
    TestFacade facade_;
};

std::uint32_t Ip(int a, int b, int c, int d) {
    return (std::uint32_t(a) << 24) | (std::uint32_t(b) << 16) | (std::uint32_t(c) << 8) |
           std::uint32_t(d);
}

TEST_F(FacadeOnCups, IdentityAndNetworkSettings) {
    sim_.UpdateState([](kpm::sim::PrinterState& s) {
        s.digits18Code = "BKPM735H0000000123";
        s.serialNumber = "A1B2C3D4";
        s.mac = {0x00, 0x1B, 0xA9, 0x0C, 0x22, 0xF7};
        s.ipMode = 1;
        s.ipAddress = Ip(10, 1, 2, 3);
        s.subnetMask = Ip(255, 255, 0, 0);
        s.gateway = Ip(10, 1, 0, 1);
        s.hostName = "kpm-floor-2";
    });
    QString code, serial, mac;
    ASSERT_EQ(facade_.ReadPrinterIdentity(code, serial, mac), 0);
    EXPECT_EQ(code, QStringLiteral("BKPM735H0000000123"));
    EXPECT_EQ(serial, QStringLiteral("A1B2C3D4"));
    EXPECT_EQ(mac, QStringLiteral("00:1b:a9:0c:22:f7"));

    ASSERT_EQ(facade_.ReadIpMode(), 0);
    EXPECT_EQ(facade_.m_bIpAuto, 1);
    ASSERT_EQ(facade_.ReadIpSettings(), 0);
    std::uint32_t ip = 0, mask = 0, gateway = 0;
    facade_.GetIpSettings(ip, mask, gateway);
    EXPECT_EQ(ip, Ip(10, 1, 2, 3));
    EXPECT_EQ(mask, Ip(255, 255, 0, 0));
    EXPECT_EQ(gateway, Ip(10, 1, 0, 1));
    ASSERT_EQ(facade_.ReadHostName(), 0);
    EXPECT_EQ(facade_.m_strHostName, QStringLiteral("kpm-floor-2"));

    ClearSent();
    EXPECT_EQ(facade_.WriteIpMode(0), 0);
    EXPECT_EQ(
        facade_.WriteIpSettings(Ip(192, 168, 7, 20), Ip(255, 255, 255, 0), Ip(192, 168, 7, 1)), 0);
    EXPECT_EQ(facade_.WriteHostName(QStringLiteral("kpm-7")), 0);
    EXPECT_EQ(Sent(), (std::vector<std::pair<std::uint16_t, Bytes>>{
                          {76, {0, 0, 0, 0, 0, 0, 0, 0}},
                          {65, {192, 168, 7, 20, 255, 255, 255, 0, 192, 168, 7, 1}},
                          {74, [] {
                               Bytes name(32, 0);
                               const std::string text = "kpm-7";
                               std::copy(text.begin(), text.end(), name.begin());
                               return name;
                           }()}}));
    const kpm::sim::PrinterState state = sim_.state();
    EXPECT_EQ(state.ipMode, 0);
    EXPECT_EQ(state.ipAddress, Ip(192, 168, 7, 20));
    EXPECT_EQ(state.hostName, "kpm-7");
    EXPECT_EQ(facade_.m_bIpAuto, 0);
    EXPECT_EQ(facade_.m_dwGateway, Ip(192, 168, 7, 1));
}

TEST_F(FacadeOnCups, FailedReadsKeepTheStateAndStoreStepsHappenAnyway) {
    sim_.AddFault("status:6@28");
    sim_.AddFault("status:12@65");
    sim_.AddFault("status:7@75");
    const std::uint32_t before = facade_.m_dwIpAddress;
    EXPECT_EQ(facade_.ReadIpSettings(), 6);
    EXPECT_EQ(facade_.m_dwIpAddress, before);
    EXPECT_EQ(facade_.ReadHostName(), 7);
    EXPECT_EQ(facade_.m_strHostName, QStringLiteral("ZEDora"));
    int colour = -5, white = -5;
    EXPECT_EQ(facade_.ReadHeadVRatings(colour, white), 6);
    EXPECT_EQ(colour, -5);
    EXPECT_EQ(white, -5);

    // The printer refuses the address; the wizard keeps what was asked for.
    EXPECT_EQ(facade_.WriteIpSettings(Ip(0, 1, 2, 3), Ip(255, 0, 0, 0), 0), 12);
    EXPECT_EQ(facade_.m_dwIpAddress, Ip(0, 1, 2, 3));
    EXPECT_EQ(facade_.m_dwSubnetMask, Ip(255, 0, 0, 0));
}

TEST_F(FacadeOnCups, CirculationScheduleExample) {
    sim_.UpdateState([](kpm::sim::PrinterState& s) { s.schedule = {{8, 0, 1}, {6, 30, 2}}; });
    ASSERT_EQ(facade_.ReadCirculationSchedule(), 0);
    EXPECT_EQ(facade_.m_nScheduleCount, 2);
    EXPECT_EQ(facade_.m_nScheduleTime[0], 6 * 256 + 30);
    EXPECT_EQ(facade_.m_nScheduleTime[1], 8 * 256);
    EXPECT_EQ(facade_.m_bScheduleEnhanced[0], 1);
    EXPECT_EQ(facade_.m_bScheduleEnhanced[1], 0);
    int count = 0;
    std::array<int, 8> time{}, enhanced{};
    facade_.GetCirculationSchedule(count, time, enhanced);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(time[1], 8 * 256);
    EXPECT_EQ(enhanced[0], 1);

    // Written back as the printer takes it; the state is not touched.
    ClearSent();
    ASSERT_EQ(facade_.WriteCirculationSchedule(2, {13 * 256 + 5, 6 * 256 + 30}, {0, 1}), 0);
    EXPECT_EQ(Sent(), (std::vector<std::pair<std::uint16_t, Bytes>>{
                          {130, {2, 0, 0, 0, 1, 0, 13, 5, 2, 0, 6, 30}}}));
    EXPECT_EQ(sim_.state().schedule,
              (std::vector<kpm::sim::ScheduleEntry>{{13, 5, 1}, {6, 30, 2}}));
    EXPECT_EQ(facade_.m_nScheduleTime[0], 6 * 256 + 30);

    // Cancelled, the printer reports no schedule: count 0.
    ASSERT_EQ(facade_.WriteCirculationSchedule(0, {}, {}), 0);
    ASSERT_EQ(facade_.ReadCirculationSchedule(), 0);
    EXPECT_EQ(facade_.m_nScheduleCount, 0);

    // A count the interface's byte cannot hold is refused here.
    ClearSent();
    EXPECT_EQ(facade_.WriteCirculationSchedule(264, {}, {}), 1000);
    EXPECT_EQ(facade_.WriteCirculationSchedule(-1, {}, {}), 1000);
    EXPECT_TRUE(Sent().empty());
}

// What the flat interface sends for `call` on the queue, as the printer
// received it.
template <typename Call>
Bytes DirectRequest(kpm::sim::Simulator& sim, const std::string& queue, std::uint16_t code,
                    Call call) {
    sim.ClearRequests();
    kpbidi_error_tag error{};
    kpbidi_printer_tag* printer = kpbidi_open_printer(queue.c_str(), &error);
    call(printer, &error);
    kpbidi_close_printer(printer);
    EXPECT_EQ(error.code, 0);
    for (const auto& request : sim.requests()) {
        for (const auto& command : request.commands) {
            if (command.code == code) {
                return command.data;
            }
        }
    }
    ADD_FAILURE() << "no command " << code;
    return {};
}

TEST_F(FacadeOnCups, FiringValuesInTheOrderOfEachCombination) {
    // WriteFiringValues(1, -2, 3, 0) for each combination, and the flat
    // interface call it must make.
    using Set = void (*)(kpbidi_printer_tag*, int, int, int, int, int, kpbidi_error_tag*);
    struct Expected {
        int combination;
        Set set;
        int resolution;
        std::array<int, 4> values;
    };
    const Expected expected[] = {
        {0, kpbidi_set_color_firing, 1, {2, 252, 6, 0}},  // 2a 2b 2c 2d
        {1, kpbidi_set_white_firing, 1, {0, 6, 2, 252}},  // 2d 2c 2a 2b
        {2, kpbidi_set_color_firing, 0, {1, 254, 3, 0}},  // a b c d
        {3, kpbidi_set_white_firing, 0, {0, 3, 1, 254}},  // d c a b
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.combination);
        const Bytes direct = DirectRequest(sim_, name_, 46, [&](auto* printer, auto* error) {
            e.set(printer, e.resolution, e.values[0], e.values[1], e.values[2], e.values[3], error);
        });
        ClearSent();
        facade_.m_nFiringCombination = e.combination;
        ASSERT_EQ(facade_.WriteFiringValues(1, -2, 3, 0), 0);
        const auto sent = Sent();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].first, 46);
        EXPECT_EQ(sent[0].second, direct);
        EXPECT_EQ(sent[0].second[0], e.resolution);
    }
    EXPECT_EQ(sim_.state().firing[kpm::sim::Dpi1200][kpm::sim::ColorHead][1], -4);
    facade_.m_nFiringCombination = 4;
    EXPECT_EQ(facade_.WriteFiringValues(1, 1, 1, 1), 1000);

    // The reset clears the combination's progress flag first, and resets
    // the heads of that combination at 1200 dpi.
    facade_.m_bFiringDone = {1, 1, 1, 1};
    facade_.m_nFiringCombination = 3;
    ClearSent();
    ASSERT_EQ(facade_.ResetFiring(), 0);
    EXPECT_EQ(facade_.m_bFiringDone, (std::array<int, 4>{1, 1, 1, 0}));
    const auto reset = Sent();
    ASSERT_EQ(reset.size(), 1u);
    EXPECT_EQ(Bytes(reset[0].second.begin(), reset[0].second.begin() + 3), (Bytes{1, 1, 1}));
    EXPECT_EQ(sim_.state().firing[kpm::sim::Dpi1200][kpm::sim::WhiteHead],
              (std::array<std::int8_t, 4>{0, 0, 0, 0}));
}

TEST_F(FacadeOnCups, AlignmentTwoCallsAndTheSecondDecides) {
    ASSERT_EQ(facade_.WriteAlignment(-3, 5), 0);
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(Bytes(sent[0].second.begin(), sent[0].second.begin() + 4), (Bytes{1, 0, 10, 250}));
    EXPECT_EQ(Bytes(sent[1].second.begin(), sent[1].second.begin() + 4), (Bytes{0, 0, 5, 253}));
    int first = 99, currentX = 99;
    ASSERT_EQ(facade_.ReadAlignment(first, currentX), 0);
    EXPECT_EQ(first, -3);  // Y at 600 dpi, a negative 16-bit value
    EXPECT_EQ(currentX, 5);

    // The 1200 dpi reset fails, the 600 dpi one succeeds: success.
    sim_.AddFault("status:7@63x1");
    ClearSent();
    EXPECT_EQ(facade_.ResetAlignment(), 0);
    ASSERT_EQ(Sent().size(), 2u);
    EXPECT_EQ(sim_.requests()[0].answers.back().second, 7);
    // The other way round: the second call's failure is the result. At 600
    // dpi the position 60 + 10 is out of range, at 1200 dpi 0 + 20 is not.
    sim_.UpdateState([](kpm::sim::PrinterState& s) {
        s.alignment[kpm::sim::Dpi600] = {60, 0};
        s.alignment[kpm::sim::Dpi1200] = {0, 0};
    });
    EXPECT_EQ(facade_.WriteAlignment(0, 10), 7);
    EXPECT_EQ(sim_.state().alignment[kpm::sim::Dpi1200], (kpm::sim::Alignment{20, 0}));
}

TEST_F(FacadeOnCups, HeadsPlatenFeedClockAndLog) {
    sim_.UpdateState([](kpm::sim::PrinterState& s) {
        s.heads[kpm::sim::ColorHead].vRating = 6;
        s.heads[kpm::sim::WhiteHead].vRating = 200;
        s.log.text = std::string("a short log\n");
    });
    int colour = 0, white = 0;
    ASSERT_EQ(facade_.ReadHeadVRatings(colour, white), 0);
    EXPECT_EQ(colour, 6);
    EXPECT_EQ(white, 200);  // unsigned

    facade_.m_nSelectedHead = 1;
    ClearSent();
    ASSERT_EQ(facade_.WriteHeadSerial(QStringLiteral("XAA1234")), 0);
    ASSERT_EQ(facade_.WriteVRating(12), 0);
    facade_.m_nSelectedHead = 0;
    ASSERT_EQ(facade_.WriteVRating(3), 0);
    ASSERT_EQ(facade_.WritePlatenRolling(5, -5), 0);
    ASSERT_EQ(facade_.WriteFeedAdjustment(1, -1, 2, -2), 0);
    EXPECT_EQ(Sent(), (std::vector<std::pair<std::uint16_t, Bytes>>{
                          {136, {0, 0, 0, 1, 'X', 'A', 'A', '1', '2', '3', '4', 0}},
                          {72, {0, 0, 0, 1, 0, 0, 0, 12}},
                          {72, {0, 0, 0, 0, 0, 0, 0, 3}},
                          {109, {0, 0xFB, 0x05, 0, 0, 0, 0, 0}},  // b first, then a
                          {114, {1, 0xFF, 2, 0xFE, 0, 0, 0, 0}}}));
    EXPECT_EQ(sim_.state().platenRolling, (std::array<std::int8_t, 2>{-5, 5}));
    ASSERT_EQ(facade_.ResetPlatenRolling(), 0);
    EXPECT_EQ(sim_.state().platenRolling, (std::array<std::int8_t, 2>{0, 0}));

    // 2026-01-01 00:00 UTC; the printer takes any clock after 2018.
    ASSERT_EQ(facade_.SetPrinterClock(1767225600u), 0);
    EXPECT_TRUE(sim_.state().clockSeconds.has_value());

    std::string log;
    ASSERT_EQ(facade_.FetchLog(
                  [](void* context, const unsigned char* data, std::size_t size) {
                      static_cast<std::string*>(context)->append(
                          reinterpret_cast<const char*>(data), size);
                      return true;
                  },
                  &log),
              0);
    EXPECT_EQ(log, "a short log\n");
}

TEST_F(FacadeOnCups, CheckPatternGoesThroughThePrintSystem) {
    ASSERT_EQ(facade_.SendCheckPattern(212), 0);
    ASSERT_TRUE(sim_.WaitForJobs(1, std::chrono::seconds(20)));
    EXPECT_EQ(sim_.jobs()[0].title, "FIRING CHK WHITE");
    EXPECT_EQ(facade_.SendCheckPattern(301), 1000);
    facade_.m_strPrinterName = QString::fromStdString(UniqueQueueName("facade-missing"));
    EXPECT_EQ(facade_.SendCheckPattern(212), 1001);
    // Every printer operation reports the unknown queue the same way.
    EXPECT_EQ(facade_.ReadIpMode(), 1001);
}

TEST_F(FacadeOnCups, DemoModeTouchesNoPrinter) {
    facade_.demo = true;
    QString code = QStringLiteral("x"), serial, mac;
    EXPECT_EQ(facade_.ReadPrinterIdentity(code, serial, mac), 0);
    EXPECT_EQ(code, QStringLiteral("BKPM735H0000000"));
    EXPECT_EQ(serial, QStringLiteral("A0000000"));
    EXPECT_EQ(mac, QStringLiteral("00-00-00-00-00-00"));

    // Reads leave the state alone; the store steps still store.
    EXPECT_EQ(facade_.ReadIpSettings(), 0);
    EXPECT_EQ(facade_.m_dwIpAddress, 0xC0A80000u);
    EXPECT_EQ(facade_.m_dwSubnetMask, 0xFFFFFF00u);
    EXPECT_EQ(facade_.m_dwGateway, 0xC0A800FEu);
    EXPECT_EQ(facade_.WriteIpSettings(1, 2, 3), 0);
    EXPECT_EQ(facade_.m_dwIpAddress, 1u);
    EXPECT_EQ(facade_.m_dwGateway, 3u);
    EXPECT_EQ(facade_.WriteIpMode(1), 0);
    EXPECT_EQ(facade_.m_bIpAuto, 1);
    EXPECT_EQ(facade_.WriteHostName(QStringLiteral("demo-host")), 0);
    EXPECT_EQ(facade_.m_strHostName, QStringLiteral("demo-host"));
    facade_.m_bFiringDone = {1, 1, 1, 1};
    facade_.m_nFiringCombination = 2;
    EXPECT_EQ(facade_.ResetFiring(), 0);
    EXPECT_EQ(facade_.m_bFiringDone, (std::array<int, 4>{1, 1, 0, 1}));
    int colour = 7, white = 8;
    EXPECT_EQ(facade_.ReadHeadVRatings(colour, white), 0);
    EXPECT_EQ(colour, 7);
    EXPECT_EQ(facade_.ReadCirculationSchedule(), 0);
    EXPECT_EQ(facade_.WriteFiringValues(1, 2, 3, 4), 0);
    EXPECT_EQ(facade_.ResetAlignment(), 0);
    EXPECT_EQ(facade_.WriteCirculationSchedule(300, {}, {}), 0);
    EXPECT_EQ(facade_.FetchLog(nullptr, nullptr), 0);
    EXPECT_EQ(facade_.SendCheckPattern(210), 0);

    EXPECT_TRUE(sim_.requests().empty());
    EXPECT_FALSE(sim_.WaitForJobs(1, std::chrono::milliseconds(300)));
}

// Opening fails: the code of the open is the result and nothing else is
// called (a call on no handle would report 1000 instead).
kpbidi_printer_tag* FailingOpen(const char*, kpbidi_error_tag* error) {
    error->code = KPBIDI_OUT_OF_MEMORY;
    error->message = "no memory";
    return nullptr;
}

TEST_F(FacadeOnCups, AnOpenFailureMakesNoFurtherCall) {
    facade_.SetOpenPrinter(FailingOpen);
    EXPECT_EQ(facade_.ReadIpMode(), 1007);
    EXPECT_EQ(facade_.ResetAlignment(), 1007);
    QString code = QStringLiteral("kept"), serial, mac;
    EXPECT_EQ(facade_.ReadPrinterIdentity(code, serial, mac), 1007);
    EXPECT_EQ(code, QStringLiteral("kept"));
    EXPECT_EQ(facade_.WriteIpMode(1), 1007);
    EXPECT_EQ(facade_.m_bIpAuto, 1);  // the store step comes first
    EXPECT_TRUE(sim_.requests().empty());
}

// A printer that answers the data request with a block of `size` bytes.
std::unique_ptr<kpm::test::FakePrinter> ShortBlockPrinter(std::size_t size) {
    Bytes data(size, 0x11);
    Bytes value;
    kpm::test::PutBe32(value, 0);
    kpm::test::PutBe32(value, 0);
    kpm::test::PutBe32(value, 0x8011);
    kpm::test::PutBe32(value, 1);
    kpm::test::PutBe32(value, static_cast<std::uint32_t>(data.size()));
    value.insert(value.end(), data.begin(), data.end());
    kpm::test::PutBe32(value, KpBidi::DataChecksum(data.data(), data.size()));
    return std::make_unique<kpm::test::FakePrinter>(
        KpBidi::communications::UsbProtocol,
        kpm::test::FakePrinter::Replying({{7, std::move(value)}}));
}

std::size_t shortBlockSize = 0;

kpbidi_printer_tag* OpenShortBlockPrinter(const char*, kpbidi_error_tag* error) {
    return KpBidi::capi::AdoptPrinter(ShortBlockPrinter(shortBlockSize), error);
}

TEST(FacadeDecoding, ABlockShorterThanThePositionsReadChangesNothing) {
    TestFacade facade;
    facade.SetOpenPrinter(OpenShortBlockPrinter);
    shortBlockSize = 95;  // the gateway would end at 96
    EXPECT_EQ(facade.ReadIpSettings(), 1006);
    EXPECT_EQ(facade.m_dwIpAddress, 0xC0A80000u);
    EXPECT_EQ(facade.m_dwSubnetMask, 0xFFFFFF00u);
    shortBlockSize = 96;
    EXPECT_EQ(facade.ReadIpSettings(), 0);
    EXPECT_EQ(facade.m_dwIpAddress, 0x11111111u);

    int colour = 1, white = 2;
    shortBlockSize = 433;
    EXPECT_EQ(facade.ReadHeadVRatings(colour, white), 1006);
    EXPECT_EQ(colour, 1);
    EXPECT_EQ(white, 2);
    int first = 3, x = 4;
    shortBlockSize = 51;
    EXPECT_EQ(facade.ReadAlignment(first, x), 1006);
    EXPECT_EQ(first, 3);
    EXPECT_EQ(x, 4);
    shortBlockSize = 52;
    EXPECT_EQ(facade.ReadAlignment(first, x), 0);
    EXPECT_EQ(first, 0x1111);
}

}  // namespace
