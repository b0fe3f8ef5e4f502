// A simulated KPM printer on one IPv4 address: the command protocol on TCP
// port 48000, RAW print jobs (AppSocket) on 9100 and a small text control
// channel on 48100; with Options::usb also the command protocol on a USB
// device node, with Options::usbGadget as a USB printer of the kernel's own
// USB stack. Construct one to start it (it accepts connections when
// the constructor returns), destroy it to stop it.
//
//   kpm::sim::Simulator printer;                   // random free 127.x.y.z
//   connect to printer.address() port 48000 ...
//   printer.AddFault("status:14@46");
//   printer.state().heads[kpm::sim::WhiteHead].vRating ...
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tools/printer-sim/faults.h"
#include "tools/printer-sim/printer.h"
#include "tools/printer-sim/printer_state.h"
#include "tools/printer-sim/session.h"
#include "tools/printer-sim/socket.h"
#include "tools/printer-sim/usb_device.h"

namespace kpm::sim {

class TcpServer;
class UsbGadget;
class UsbNode;

inline constexpr std::uint16_t kProtocolPort = 48000;
inline constexpr std::uint16_t kJobPort = 9100;
inline constexpr std::uint16_t kControlPort = 48100;

struct Options {
    // IPv4 address to listen on. Empty: a random loopback address 127.x.y.z
    // whose ports are free (retried on "address in use").
    std::string address;
    std::uint16_t protocolPort = kProtocolPort;
    std::uint16_t jobPort = kJobPort;
    std::uint16_t controlPort = kControlPort;  // 0: no control channel
    // The folder where the control channel's file commands read and write;
    // empty: they are refused (any local user can reach the channel).
    std::filesystem::path controlFolder;
    PrinterState state = FactoryState();
    std::vector<Fault> faults;
    // How long adjustment writes answer 14 after a job arrives or Print is
    // pressed.
    std::chrono::milliseconds busyAfterJob{0};
    SessionLimits limits;
    // Also answer on a USB device node (see usb_node.h).
    bool usb = false;
    // Also be the USB printer of the FunctionFS function mounted here (see
    // usb_gadget.h); empty: none.
    std::filesystem::path usbGadget;
    // Receives each request log line as it happens (from connection threads).
    std::function<void(const std::string&)> onLogLine;
};

class Simulator {
public:
    // Listening when it returns. Throws std::system_error when the address
    // cannot be bound (errc::address_in_use when its ports are taken).
    explicit Simulator(Options options = {});
    ~Simulator();

    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    const std::string& address() const noexcept { return address_; }
    std::uint16_t protocolPort() const noexcept { return options_.protocolPort; }
    std::uint16_t jobPort() const noexcept { return options_.jobPort; }
    std::uint16_t controlPort() const noexcept { return options_.controlPort; }
    const std::filesystem::path& controlFolder() const noexcept { return options_.controlFolder; }
    // The CUPS device URI of the job port: "socket://ADDRESS:9100".
    std::string JobDeviceUri() const;

    // The printer behind the ports; every member is thread-safe.
    Printer& printer() noexcept { return printer_; }
    const Printer& printer() const noexcept { return printer_; }

    PrinterState state() const { return printer_.state(); }
    void SetState(PrinterState state) { printer_.SetState(std::move(state)); }
    void UpdateState(const std::function<void(PrinterState&)>& change) {
        printer_.UpdateState(change);
    }

    PanelView panel() const { return printer_.panel(); }
    bool PressPrint(std::string* reason = nullptr) { return printer_.PressPrint(reason); }
    std::vector<JobRecord> jobs() const { return printer_.jobs(); }
    bool WaitForJobs(std::size_t count, std::chrono::milliseconds timeout) const {
        return printer_.WaitForJobs(count, timeout);
    }

    std::vector<RequestRecord> requests() const { return printer_.requests(); }
    std::string RequestLog() const { return printer_.RequestLogText(); }
    void ClearRequests() { printer_.ClearRequests(); }

    void AddFault(const Fault& fault) { printer_.AddFault(fault); }
    // Throws std::invalid_argument for a malformed fault (see ParseFault).
    void AddFault(std::string_view text) { printer_.AddFault(ParseFault(text)); }
    void ClearFaults() { printer_.ClearFaults(); }
    std::vector<Fault> faults() const { return printer_.faults(); }

    void SetBusyAfterJob(std::chrono::milliseconds duration) { printer_.SetBusyAfterJob(duration); }

    // The IEEE 1284 device identifier (what SNMP serves for this printer).
    std::string DeviceId() const { return kpm::sim::DeviceId(printer_.state()); }
    // An snmpd configuration serving DeviceId() on this address (see
    // snmpd.h to run snmpd itself).
    void WriteSnmpdConfig(const std::filesystem::path& path, std::uint16_t port = 161) const;

    // With Options::usb: the node that stands in for /dev/usb/lpN (a
    // pseudo-terminal, "/dev/pts/7"); empty without.
    std::string UsbNodePath() const;
    // The USB device this printer is, for a udev testbed: serial number and
    // IEEE 1284 identifier from the current state, bus path 1-1, lp0.
    UsbDevice UsbDescription() const;

    // With Options::usbGadget: while held, the printer takes nothing more
    // from the computer (its writes wait, as for a busy printer).
    void HoldUsbIntake(bool hold);

private:
    Options options_;
    std::string address_;
    StopSignal stop_;
    Printer printer_;
    std::unique_ptr<TcpServer> server_;
    std::unique_ptr<UsbNode> usbNode_;
    std::unique_ptr<UsbGadget> usbGadget_;
};

}  // namespace kpm::sim
