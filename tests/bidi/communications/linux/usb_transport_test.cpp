// The USB path end to end: a usb:// queue of the private cupsd, the printer
// simulator's USB node behind a fake sysfs (umockdev), and the flat
// interface on top. The print system decides whether the port is busy; the
// bytes go to and come from the node.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "bidi/capi/error.h"
#include "bidi/capi/kpbidi.h"
#include "bidi/communications/system_printer.h"
#include "spooler/spooler.h"
#include "tests/support/command.h"
#include "tests/support/cups_queues.h"
#include "tests/support/port_holder.h"
#include "tests/support/sha256.h"
#include "tests/support/usb_testbed.h"
#include "tools/printer-sim/log_content.h"
#include "tools/printer-sim/simulator.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

kpm::sim::Options UsbPrinterOptions() {
    kpm::sim::Options options;
    options.usb = true;
    options.state.serialNumber = kpm::test::UniqueUsbSerial("U");
    return options;
}

std::string Take(char* text) {
    std::string copy = text ? text : "<null>";
    kpbidi_free_string(text);
    return copy;
}

class UsbPrinter : public ::testing::Test {
protected:
    void SetUp() override {
        testbed_.Plug(sim_.UsbDescription(), sim_.UsbNodePath());
        queues_.Add(queue_, Uri());
        printer_ = kpbidi_open_printer(queue_.c_str(), &error_);
        ASSERT_NE(printer_, nullptr);
    }
    void TearDown() override {
        kpbidi_close_printer(printer_);
        kpm::test::RunCommand({"cancel", "-a", queue_});
    }

    std::string Uri() const {
        return "usb://Corvane/KPM%20pro?serial=" + sim_.state().serialNumber;
    }

    // One cheap operation; its code.
    int IpMode() {
        kpbidi_get_ip_mode(printer_, &error_);
        return error_.code;
    }

    // Submits `bytes` to the queue with lp and further options; the job id.
    int Submit(std::vector<std::string> options) {
        const std::string file = std::filesystem::temp_directory_path() / (queue_ + ".job");
        std::ofstream(file) << "KPM";
        std::vector<std::string> argv{"lp", "-d", queue_, "-o", "raw"};
        argv.insert(argv.end(), options.begin(), options.end());
        argv.push_back(file);
        const kpm::test::CommandResult result = kpm::test::RunCommand(argv);
        std::filesystem::remove(file);
        EXPECT_EQ(result.exitStatus, 0) << result.output;
        const std::size_t dash = result.output.find(queue_ + "-");
        return dash == std::string::npos
                   ? 0
                   : std::atoi(result.output.c_str() + dash + queue_.size() + 1);
    }

    // Waits until job `id` of the queue is in `state`.
    bool WaitForJobState(int id, spooler::JobState state) {
        const auto spooler = spooler::MakeSystemSpooler();
        std::error_code error;
        const auto printer = spooler->Open(queue_, error);
        if (error) {
            return false;
        }
        const auto deadline = Clock::now() + 20s;
        while (Clock::now() < deadline) {
            if (printer->Job(id, error).state == state && !error) {
                return true;
            }
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }

    kpm::test::UsbTestbed testbed_;
    kpm::sim::Simulator sim_{UsbPrinterOptions()};
    kpm::test::Queues queues_;
    std::string queue_ = kpm::test::UniqueQueueName("usb");
    kpbidi_printer_tag* printer_ = nullptr;
    kpbidi_error_tag error_{-2, "unset"};
};

TEST_F(UsbPrinter, EveryOperationAndTheLogFetchGoThroughTheNode) {
    EXPECT_EQ(Take(kpbidi_get_printer_info(printer_, &error_)),
              R"({"digits_18_code":"BKPM735H0000012345","mac_address":"02:4b:50:4d:07:35",)"
              R"("serial_number":")" +
                  sim_.state().serialNumber + R"("})");
    ASSERT_EQ(error_.code, 0);

    kpbidi_set_ip_mode(printer_, 0, &error_);
    EXPECT_EQ(error_.code, 0);
    EXPECT_EQ(kpbidi_get_ip_mode(printer_, &error_), 0);
    const kpbidi_ip_settings_tag settings{{192, 168, 7, 20}, {255, 255, 255, 0}, {192, 168, 7, 1}};
    kpbidi_set_ip_settings(printer_, &settings, &error_);
    EXPECT_EQ(error_.code, 0);
    EXPECT_EQ(sim_.state().ipAddress, 0xC0A80714u);
    kpbidi_set_host_name(printer_, "KPM-USB-1", &error_);
    EXPECT_EQ(Take(kpbidi_get_host_name(printer_, &error_)), "KPM-USB-1");

    kpbidi_set_head_serial(printer_, 1, "W9", &error_);
    kpbidi_set_head_v_rating(printer_, 1, 12, &error_);
    EXPECT_EQ(sim_.state().heads[1], (kpm::sim::HeadInfo{"W9", 12}));
    kpbidi_set_color_firing(printer_, 1, 1, -2, 3, 0, &error_);
    kpbidi_set_white_firing(printer_, 0, 4, 4, 4, 4, &error_);
    EXPECT_EQ(sim_.state().firing[1][0], (std::array<std::int8_t, 4>{0, -2, 1, 3}));
    EXPECT_EQ(sim_.state().firing[0][1], (std::array<std::int8_t, 4>{4, 4, 4, 4}));
    kpbidi_reset_color_firing(printer_, 1, &error_);
    kpbidi_reset_white_firing(printer_, 0, &error_);
    EXPECT_EQ(sim_.state().firing[1][0], (std::array<std::int8_t, 4>{}));
    kpbidi_set_alignment(printer_, 1, 2, -2, &error_);
    EXPECT_EQ(sim_.state().alignment[1], (kpm::sim::Alignment{2, -2}));
    kpbidi_reset_alignment(printer_, 1, &error_);
    kpbidi_set_platen_rolling(printer_, 5, -5, &error_);
    EXPECT_EQ(sim_.state().platenRolling, (std::array<std::int8_t, 2>{5, -5}));
    kpbidi_reset_platen_rolling(printer_, &error_);
    kpbidi_set_feed_adjustment(printer_, 1, 2, 3, 4, &error_);
    EXPECT_EQ(sim_.state().feed, (std::array<std::int8_t, 4>{1, 2, 3, 4}));
    kpbidi_set_clock(printer_, static_cast<std::uint64_t>(std::time(nullptr)), &error_);
    EXPECT_TRUE(sim_.state().clockSeconds.has_value());

    kpbidi_schedule_tag schedule{};
    schedule.count = 1;
    schedule.entries[0] = {6, 30, 2};
    kpbidi_set_circulation_schedule(printer_, &schedule, &error_);
    EXPECT_EQ(Take(kpbidi_get_circulation_schedule(printer_, &error_)), R"({"06:30":"long"})");

    kpbidi_data_tag* block = kpbidi_read_data(printer_, 0x8016, &error_);
    ASSERT_NE(block, nullptr) << error_.code;
    EXPECT_EQ(block->size, 448u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block->data) + 8, 2), "W9");
    kpbidi_free_data(block);
    EXPECT_EQ(error_.code, 0);
    // 21 operations of one request each, nothing lost or repeated.
    EXPECT_EQ(sim_.requests().size(), 21u) << sim_.RequestLog();

    // The log: 10501 blocks of 512 bytes, through 512-byte reads.
    struct Sink {
        kpm::test::Sha256 hash;
        std::uint64_t bytes = 0;
    } sink;
    kpbidi_fetch_log(
        printer_,
        [](void* context, const unsigned char* data, size_t size) {
            auto& s = *static_cast<Sink*>(context);
            s.hash.Update(data, size);
            s.bytes += size;
            return true;
        },
        &sink, &error_);
    EXPECT_EQ(error_.code, 0);
    const kpm::sim::LogContent content(sim_.state().log);
    std::vector<unsigned char> whole(content.size());
    content.Read(0, whole.data(), whole.size());
    kpm::test::Sha256 expected;
    expected.Update(whole.data(), whole.size());
    EXPECT_EQ(sink.bytes, 5376512u);
    EXPECT_EQ(sink.hash.Hex(), expected.Hex());

    // The connector's other queries.
    const auto connector = KpBidi::SystemPrinter::FromName(queue_)->CreateConnector();
    EXPECT_EQ(connector->GetDeviceId(), sim_.DeviceId());
    EXPECT_EQ(connector->GetPreferredReadSize(), 512u);
}

TEST_F(UsbPrinter, AnotherProgramHoldingThePortMakesItBusyAfterASecond) {
    kpm::test::PortHolder holder(KPBIDI_USB_HOLD, queue_);
    ASSERT_EQ(holder.ReadLine(), "holding");

    testing::internal::CaptureStderr();
    const auto start = Clock::now();
    EXPECT_EQ(IpMode(), KpBidi::UsbPortBusy);
    const auto waited = Clock::now() - start;
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_GE(waited, 1000ms);
    EXPECT_LT(waited, 3000ms);
    EXPECT_NE(said.find("Mutex already locked\n"), std::string::npos) << said;

    // The holder's exchange was not disturbed, and the port is free after.
    holder.GoOn();
    EXPECT_EQ(holder.ReadLine(), "status 0 serial " + sim_.state().serialNumber);
    EXPECT_EQ(holder.Finish(), 0);
    EXPECT_EQ(IpMode(), 0);
}

TEST_F(UsbPrinter, AJobBeingPrintedMakesThePortBusyHeldAndStoppedJobsDoNot) {
    // A held job waits for a release that never comes.
    const int held = Submit({"-H", "hold"});
    ASSERT_TRUE(WaitForJobState(held, spooler::JobState::Held));
    EXPECT_EQ(IpMode(), 0);

    // A job of a stopped queue waits for the queue.
    queues_.Pause(queue_);
    const int waiting = Submit({});
    ASSERT_TRUE(WaitForJobState(waiting, spooler::JobState::Pending));
    EXPECT_EQ(IpMode(), 0);

    // Started again, CUPS's usb backend takes the job and waits for a
    // printer it can claim: the job is being processed.
    queues_.Resume(queue_);
    ASSERT_TRUE(WaitForJobState(waiting, spooler::JobState::Processing));
    const std::size_t requests = sim_.requests().size();
    EXPECT_EQ(IpMode(), KpBidi::UsbPortBusy);
    EXPECT_EQ(sim_.requests().size(), requests);  // nothing was sent

    // While the backend prints, usblp lets go of the printer and its node
    // disappears: still busy, not missing.
    const kpm::sim::UsbDevice device = sim_.UsbDescription();
    kpm::sim::UsbDevice claimed = device;
    claimed.lpMinor = -1;
    testbed_.Unplug(device);
    testbed_.Plug(claimed);
    EXPECT_EQ(IpMode(), KpBidi::UsbPortBusy);

    kpm::test::RunCommand({"cancel", std::to_string(waiting)});
    ASSERT_TRUE(WaitForJobState(waiting, spooler::JobState::Canceled));
    testbed_.Unplug(claimed);
    testbed_.Plug(device, sim_.UsbNodePath());
    EXPECT_EQ(IpMode(), 0);
}

TEST_F(UsbPrinter, ASilentPrinterTimesOutAfterThreeSeconds) {
    sim_.AddFault("silence@77x1");
    const auto start = Clock::now();
    EXPECT_EQ(IpMode(), KpBidi::Timeout);
    const auto waited = Clock::now() - start;
    EXPECT_STREQ(error_.message, "UsbPort::Read: timed out while reading from USB port");
    EXPECT_GE(waited, 3000ms);
    EXPECT_LT(waited, 5000ms);
    // The printer is not stuck: the next operation is answered.
    EXPECT_EQ(IpMode(), 0);
}

TEST_F(UsbPrinter, AnUnpluggedPrinterIsNotAvailable) {
    const kpm::sim::UsbDevice device = sim_.UsbDescription();
    testbed_.Unplug(device);
    EXPECT_EQ(IpMode(), KpBidi::PrinterNotAvailable);
    EXPECT_TRUE(sim_.requests().empty());
    testbed_.Plug(device, sim_.UsbNodePath());
    EXPECT_EQ(IpMode(), 0);
}

}  // namespace
