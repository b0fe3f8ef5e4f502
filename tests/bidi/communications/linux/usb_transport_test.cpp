// The busy rule of the USB path where the kernel cannot show it (held and
// stopped jobs, a job processed while the printer is still free), on the
// simulator's USB node behind a fake sysfs; the rest is in tests/real-usb.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "bidi/capi/error.h"
#include "bidi/capi/handle.h"
#include "bidi/capi/kpbidi.h"
#include "spooler/spooler.h"
#include "tests/support/command.h"
#include "tests/support/cups_queues.h"
#include "tests/support/usb_testbed.h"
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

TEST_F(UsbPrinter, APrinterTricklingItsReplyEndsWith1005AtTheTimeLimit) {
    // A byte every 2 s: every read gets data within its 3 s, so only the
    // bound on the whole exchange ends it (shortened here from its minute).
    sim_.AddFault("drip:1/2000x1");
    printer_->printer->SetExchangeTimeLimit(1500ms);
    const auto start = Clock::now();
    EXPECT_EQ(IpMode(), KpBidi::Timeout);
    EXPECT_LT(Clock::now() - start, 10s);
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

}  // namespace
