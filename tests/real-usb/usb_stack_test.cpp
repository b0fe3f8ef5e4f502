// The USB path against the kernel's own USB stack (usblp, sysfs, CUPS's usb
// backend), inside the virtual machine of scripts/usb-vm.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <ctime>
#include <functional>
#include <future>
#include <thread>

#include "access/pattern_job.h"
#include "bidi/capi/error.h"
#include "bidi/capi/kpbidi.h"
#include "bidi/communications/linux/usb_lookup.h"
#include "bidi/communications/system_printer.h"
#include "spooler/spooler.h"
#include "tests/support/cups_queues.h"
#include "tests/support/port_holder.h"
#include "tests/support/sha256.h"
#include "tests/support/usb_gadget.h"
#include "tools/printer-sim/log_content.h"
#include "tools/printer-sim/simulator.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using kpm::test::GadgetPrinter;

kpm::sim::Options PrinterOptions(const std::string& prefix) {
    kpm::sim::Options options;
    options.state.serialNumber = kpm::test::UniqueGadgetSerial(prefix);
    return options;
}

std::string Take(char* text) {
    std::string copy = text ? text : "<null>";
    kpbidi_free_string(text);
    return copy;
}

// An open handle on a queue; closed on destruction.
class Handle {
public:
    explicit Handle(const std::string& queue)
        : printer_(kpbidi_open_printer(queue.c_str(), &error)) {
        EXPECT_NE(printer_, nullptr) << error.code;
    }
    ~Handle() { kpbidi_close_printer(printer_); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    kpbidi_printer_tag* get() const { return printer_; }

    // One cheap operation; its code.
    int IpMode() {
        kpbidi_get_ip_mode(printer_, &error);
        return error.code;
    }

    kpbidi_error_tag error{-2, "unset"};

private:
    kpbidi_printer_tag* printer_;
};

class RealUsb : public ::testing::Test {
protected:
    // A queue on the printer's URI as the usb backend lists it.
    std::string QueueFor(const GadgetPrinter& printer) {
        const std::string queue = kpm::test::UniqueQueueName("rusb");
        queues_.Add(queue, printer.DeviceUri());
        return queue;
    }

    // Waits until job `id` of `queue` is in `state`.
    static bool WaitForJobState(const std::string& queue, int id, spooler::JobState state,
                                std::chrono::seconds timeout = 120s) {
        const auto spooler = spooler::MakeSystemSpooler();
        std::error_code error;
        const auto printer = spooler->Open(queue, error);
        if (error) {
            return false;
        }
        const auto deadline = Clock::now() + timeout;
        while (Clock::now() < deadline) {
            if (printer->Job(id, error).state == state && !error) {
                return true;
            }
            std::this_thread::sleep_for(100ms);
        }
        return false;
    }

    // The id of the newest job of `queue`, 0 when it has none.
    static int LastJob(const std::string& queue) {
        const auto spooler = spooler::MakeSystemSpooler();
        std::error_code error;
        const auto printer = spooler->Open(queue, error);
        int last = 0;
        for (const spooler::JobEntry& job : printer->Jobs(error)) {
            last = std::max(last, job.id);
        }
        return last;
    }

    kpm::test::Queues queues_;
};

TEST_F(RealUsb, TheLookupFindsEachPrinterBySerialNumberAndOneWithout) {
    GadgetPrinter a(0, PrinterOptions("A"));
    GadgetPrinter b(1, PrinterOptions("B"));
    GadgetPrinter none(2, PrinterOptions("N"), false);
    ASSERT_TRUE(none.serial().empty());

    for (GadgetPrinter* printer : {&a, &b, &none}) {
        SCOPED_TRACE("printer \"" + printer->serial() + "\"");
        const std::string uri = printer->DeviceUri();
        EXPECT_EQ(uri.find("?serial=") != std::string::npos, !printer->serial().empty()) << uri;
        const std::string id = KpBidi::communications::linux::GetUSBPrintDeviceInstanceID(uri);
        EXPECT_EQ(id, "USB\\VID_4B50&PID_0735\\" + printer->serial());
        EXPECT_EQ(KpBidi::communications::linux::GetUSBPrintDevicePath(id), printer->WaitForNode());

        // Its queue reaches this printer and no other.
        const std::string queue = QueueFor(*printer);
        const std::size_t before =
            a.sim().requests().size() + b.sim().requests().size() + none.sim().requests().size();
        Handle handle(queue);
        const std::string info = Take(kpbidi_get_printer_info(handle.get(), &handle.error));
        ASSERT_EQ(handle.error.code, 0) << handle.error.message;
        EXPECT_NE(info.find("\"serial_number\":\"" + printer->sim().state().serialNumber + "\""),
                  std::string::npos)
            << info;
        EXPECT_EQ(printer->sim().requests().size(), 1u);
        EXPECT_EQ(
            a.sim().requests().size() + b.sim().requests().size() + none.sim().requests().size(),
            before + 1);
    }
}

TEST_F(RealUsb, TheDeviceIdIsTheOneUsblpReadAndReadsFollowThePacketSize) {
    kpm::sim::Options options = PrinterOptions("D");
    // Long enough to take several control packets, with every character
    // class a printer uses.
    options.state.deviceId =
        "MFG:Corvane;MDL:KPM pro;CMD:KPM,PJL,RAW;CLS:PRINTER;DES:" + std::string(300, 'x') +
        ";SN:" + options.state.serialNumber + ";";
    GadgetPrinter printer(0, options);
    const std::string queue = QueueFor(printer);

    Handle handle(queue);
    EXPECT_EQ(Take(kpbidi_get_device_id(handle.get(), &handle.error)), options.state.deviceId);
    EXPECT_EQ(handle.error.code, 0);
    const auto connector = KpBidi::SystemPrinter::FromName(queue)->CreateConnector();
    EXPECT_EQ(connector->GetDeviceId(), options.state.deviceId);
    EXPECT_EQ(connector->GetPreferredReadSize(), 512u);
    EXPECT_TRUE(printer.sim().requests().empty());  // read without a request
}

// Every printer operation of the flat interface, as a list, so that the
// same calls can go to two printers.
struct Operation {
    const char* name;
    std::function<void(kpbidi_printer_tag*, kpbidi_error_tag*)> call;
};

std::vector<Operation> EveryOperation() {
    const auto text = [](char* t) { kpbidi_free_string(t); };
    return {
        {"get_printer_info", [=](auto p, auto e) { text(kpbidi_get_printer_info(p, e)); }},
        {"set_ip_mode", [](auto p, auto e) { kpbidi_set_ip_mode(p, 0, e); }},
        {"get_ip_mode", [](auto p, auto e) { kpbidi_get_ip_mode(p, e); }},
        {"set_ip_settings",
         [](auto p, auto e) {
             const kpbidi_ip_settings_tag s{
                 {192, 168, 7, 20}, {255, 255, 255, 0}, {192, 168, 7, 1}};
             kpbidi_set_ip_settings(p, &s, e);
         }},
        {"set_host_name", [](auto p, auto e) { kpbidi_set_host_name(p, "KPM-USB-1", e); }},
        {"get_host_name", [=](auto p, auto e) { text(kpbidi_get_host_name(p, e)); }},
        {"set_head_serial", [](auto p, auto e) { kpbidi_set_head_serial(p, 1, "XA12345", e); }},
        {"set_head_v_rating", [](auto p, auto e) { kpbidi_set_head_v_rating(p, 1, 12, e); }},
        {"set_color_firing", [](auto p, auto e) { kpbidi_set_color_firing(p, 1, 1, -2, 3, 0, e); }},
        {"reset_color_firing", [](auto p, auto e) { kpbidi_reset_color_firing(p, 1, e); }},
        {"set_white_firing", [](auto p, auto e) { kpbidi_set_white_firing(p, 0, 4, 4, 4, 4, e); }},
        {"reset_white_firing", [](auto p, auto e) { kpbidi_reset_white_firing(p, 0, e); }},
        {"set_alignment", [](auto p, auto e) { kpbidi_set_alignment(p, 1, 2, -2, e); }},
        {"reset_alignment", [](auto p, auto e) { kpbidi_reset_alignment(p, 1, e); }},
        {"set_platen_rolling", [](auto p, auto e) { kpbidi_set_platen_rolling(p, 5, -5, e); }},
        {"reset_platen_rolling", [](auto p, auto e) { kpbidi_reset_platen_rolling(p, e); }},
        {"set_feed_adjustment",
         [](auto p, auto e) { kpbidi_set_feed_adjustment(p, 1, 2, 3, 4, e); }},
        {"set_clock", [](auto p, auto e) { kpbidi_set_clock(p, 1765000000u, e); }},
        {"set_circulation_schedule",
         [](auto p, auto e) {
             kpbidi_schedule_tag schedule{};
             schedule.count = 2;
             schedule.entries[0] = {6, 30, 2};
             schedule.entries[1] = {18, 5, 1};
             kpbidi_set_circulation_schedule(p, &schedule, e);
         }},
        {"get_circulation_schedule",
         [=](auto p, auto e) { text(kpbidi_get_circulation_schedule(p, e)); }},
        {"read_data", [](auto p, auto e) { kpbidi_free_data(kpbidi_read_data(p, 0x8016, e)); }},
    };
}

TEST_F(RealUsb, EveryOperationArrivesByteExactAndSeveralMegabytesOfLogComeBack) {
    GadgetPrinter printer(0, PrinterOptions("E"));
    Handle usb(QueueFor(printer));
    // The same calls over the network path to a second printer: what each
    // sends is known from there.
    kpm::sim::Simulator reference;
    kpbidi_error_tag networkError{-2, "unset"};
    kpbidi_printer_tag* host = kpbidi_open_host(reference.address().c_str(), &networkError);
    ASSERT_NE(host, nullptr) << networkError.code;

    const std::vector<Operation> operations = EveryOperation();
    for (const Operation& op : operations) {
        SCOPED_TRACE(op.name);
        op.call(usb.get(), &usb.error);
        EXPECT_EQ(usb.error.code, 0) << usb.error.message;
        op.call(host, &networkError);
        EXPECT_EQ(networkError.code, 0) << networkError.message;
    }
    kpbidi_close_printer(host);

    // One request per operation, nothing lost, split or repeated, and each
    // command's code and value as the network printer got them.
    const auto got = printer.sim().requests();
    const auto sent = reference.requests();
    ASSERT_EQ(got.size(), operations.size()) << printer.sim().RequestLog();
    ASSERT_EQ(sent.size(), operations.size()) << reference.RequestLog();
    for (std::size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(operations[i].name);
        EXPECT_EQ(got[i].kind, kpm::sim::RequestRecord::Kind::Request);
        ASSERT_EQ(got[i].commands.size(), sent[i].commands.size());
        for (std::size_t c = 0; c < got[i].commands.size(); ++c) {
            EXPECT_EQ(got[i].commands[c].code, sent[i].commands[c].code);
            EXPECT_EQ(got[i].commands[c].dataSize, sent[i].commands[c].dataSize);
            EXPECT_EQ(got[i].commands[c].data, sent[i].commands[c].data);
        }
        EXPECT_EQ(got[i].answers, sent[i].answers);
    }
    EXPECT_EQ(printer.sim().state().hostName, "KPM-USB-1");
    EXPECT_EQ(printer.sim().state().heads[1].serial, "XA12345");

    // The log: 10501 blocks of 512 bytes in packet-sized reads.
    struct Sink {
        kpm::test::Sha256 hash;
        std::uint64_t bytes = 0;
    } sink;
    const auto start = Clock::now();
    kpbidi_fetch_log(
        usb.get(),
        [](void* context, const unsigned char* data, size_t size) {
            auto& s = *static_cast<Sink*>(context);
            s.hash.Update(data, size);
            s.bytes += size;
            return true;
        },
        &sink, &usb.error);
    EXPECT_EQ(usb.error.code, 0) << usb.error.message;
    const kpm::sim::LogContent content(printer.sim().state().log);
    std::vector<unsigned char> whole(content.size());
    content.Read(0, whole.data(), whole.size());
    kpm::test::Sha256 expected;
    expected.Update(whole.data(), whole.size());
    EXPECT_EQ(sink.bytes, 5376512u);
    EXPECT_EQ(sink.hash.Hex(), expected.Hex());
    std::printf("log fetch: %llu bytes in %.1f s\n", static_cast<unsigned long long>(sink.bytes),
                std::chrono::duration<double>(Clock::now() - start).count());
    // The printer answers again after so long a reply.
    EXPECT_EQ(usb.IpMode(), 0);
}

TEST_F(RealUsb, WhileCupsPrintsACheckPatternTheOperationsAreBusyAndAfterwardsWorkAgain) {
    GadgetPrinter printer(0, PrinterOptions("J"));
    const std::string queue = QueueFor(printer);
    Handle handle(queue);
    ASSERT_EQ(handle.IpMode(), 0);

    // The printer takes the job slowly, so the backend holds it a while.
    printer.sim().HoldUsbIntake(true);
    ASSERT_EQ(kpm::access::SendPatternJob(queue, 210), 0);
    const int job = LastJob(queue);
    ASSERT_GT(job, 0);
    ASSERT_TRUE(WaitForJobState(queue, job, spooler::JobState::Processing));
    // The backend claims the printer: usblp lets go of it.
    ASSERT_TRUE(printer.WaitForNoNode()) << "CUPS's usb backend never claimed the printer";
    const std::size_t requests = printer.sim().requests().size();
    EXPECT_EQ(handle.IpMode(), KpBidi::UsbPortBusy) << handle.error.message;
    EXPECT_EQ(printer.sim().requests().size(), requests);  // nothing was sent

    printer.sim().HoldUsbIntake(false);
    ASSERT_TRUE(WaitForJobState(queue, job, spooler::JobState::Completed));
    ASSERT_TRUE(printer.sim().WaitForJobs(1, 10s));
    EXPECT_EQ(printer.sim().jobs().front().title, "FIRING CHK COLOR");
    // The backend gives the printer back to usblp.
    ASSERT_FALSE(printer.WaitForNode().empty());
    EXPECT_EQ(handle.IpMode(), 0) << handle.error.message;
}

TEST_F(RealUsb, ASilentPrinterTimesOutAndAnUnpluggedOneEndsTheOperationAtOnce) {
    GadgetPrinter printer(0, PrinterOptions("U"));
    Handle handle(QueueFor(printer));

    printer.sim().AddFault("silence@77x1");
    const auto start = Clock::now();
    EXPECT_EQ(handle.IpMode(), KpBidi::Timeout);
    const auto waited = Clock::now() - start;
    EXPECT_STREQ(handle.error.message, "UsbPort::Read: timed out while reading from USB port");
    EXPECT_GE(waited, 3000ms);
    // The unanswered request is all the printer got.
    EXPECT_EQ(printer.sim().requests().size(), 1u);

    printer.sim().AddFault("silence@77x1");
    printer.sim().ClearRequests();

    auto operation = std::async(std::launch::async, [&handle] { return handle.IpMode(); });
    ASSERT_TRUE(printer.sim().printer().WaitForRequests(2, 20s));  // cleared ones count
    // Usually the request's padding has left the computer by now and the
    // program waits for the answer.
    std::this_thread::sleep_for(1s);
    const auto unplugged = Clock::now();
    printer.Unplug();
    ASSERT_EQ(operation.wait_for(10s), std::future_status::ready) << "the operation hangs";
    const int code = operation.get();
    const auto took = Clock::now() - unplugged;
    std::printf("unplugged during an operation: code %d (%s) after %.2f s\n", code,
                handle.error.message != nullptr ? handle.error.message : "no message",
                std::chrono::duration<double>(took).count());
    // Where the operation was decides the code: waiting for the answer, a
    // failed read; still sending (the request's last packets in the
    // kernel's hands), a failed write.
    if (code == KpBidi::CommunicationError) {
        EXPECT_EQ(handle.error.message, nullptr);
    } else {
        EXPECT_EQ(code, KpBidi::SystemError);
        EXPECT_STREQ(handle.error.message, "UsbPort::Read");
    }
    EXPECT_LT(took, 3s);

    // Unplugged, the printer is simply not there; plugged in again, it works.
    EXPECT_EQ(handle.IpMode(), KpBidi::PrinterNotAvailable);
    printer.Plug();
    EXPECT_EQ(handle.IpMode(), 0) << handle.error.message;
}

TEST_F(RealUsb, TwoProgramsAtOnceMeetAtThePortLockAndTheNode) {
    GadgetPrinter printer(0, PrinterOptions("L"));
    const std::string queue = QueueFor(printer);
    Handle handle(queue);

    {
        kpm::test::PortHolder holder(KPBIDI_USB_HOLD, queue);
        ASSERT_EQ(holder.ReadLine(), "holding");
        testing::internal::CaptureStderr();
        const auto start = Clock::now();
        EXPECT_EQ(handle.IpMode(), KpBidi::UsbPortBusy);
        const auto waited = Clock::now() - start;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_GE(waited, 1000ms);
        EXPECT_NE(said.find("Mutex already locked\n"), std::string::npos) << said;
        // The holder's exchange is not disturbed.
        holder.GoOn();
        EXPECT_EQ(holder.ReadLine(), "status 0 serial " + printer.serial());
        EXPECT_EQ(holder.Finish(), 0);
    }
    EXPECT_EQ(handle.IpMode(), 0);

    // A program that opened the node without our lock: usblp lets one
    // program at a time have it.
    const std::string node = printer.WaitForNode();
    const int other = ::open(node.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(other, 0) << std::strerror(errno);
    const std::size_t requests = printer.sim().requests().size();
    EXPECT_EQ(handle.IpMode(), KpBidi::UsbPortBusy);
    EXPECT_EQ(printer.sim().requests().size(), requests);
    ::close(other);
    EXPECT_EQ(handle.IpMode(), 0);
}

}  // namespace
