#include "tools/printer-sim/simulator.h"

#include "tools/printer-sim/control.h"
#include "tools/printer-sim/loopback.h"
#include "tools/printer-sim/server.h"
#include "tools/printer-sim/snmpd.h"
#include "tools/printer-sim/usb_gadget.h"
#include "tools/printer-sim/usb_node.h"

namespace kpm::sim {
namespace {

PrinterOptions MakePrinterOptions(const Options& options) {
    PrinterOptions p;
    p.busyAfterJob = options.busyAfterJob;
    p.onLogLine = options.onLogLine;
    return p;
}

}  // namespace

Simulator::Simulator(Options options)
    : options_(std::move(options)), printer_(options_.state, MakePrinterOptions(options_)) {
    for (const Fault& fault : options_.faults) {
        printer_.AddFault(fault);
    }
    auto bind = [this](const std::string& address) {
        auto server = std::make_unique<TcpServer>(stop_);
        server->Listen(address, options_.protocolPort, [this](UniqueFd fd) {
            ServeNetworkConnection(printer_, std::move(fd), stop_, options_.limits);
        });
        server->Listen(address, options_.jobPort, [this](UniqueFd fd) {
            ServeJobConnection(printer_, std::move(fd), stop_, options_.limits);
        });
        if (options_.controlPort != 0) {
            server->Listen(address, options_.controlPort, [this](UniqueFd fd) {
                ServeControlConnection(*this, std::move(fd), stop_);
            });
        }
        return std::pair{address, std::move(server)};
    };
    auto [address, server] =
        options_.address.empty() ? WithFreeLoopbackAddress(bind) : bind(options_.address);
    address_ = std::move(address);
    server_ = std::move(server);
    server_->Start();
    if (options_.usb) {
        usbNode_ = std::make_unique<UsbNode>(printer_, options_.limits);
    }
    if (!options_.usbGadget.empty()) {
        usbGadget_ = std::make_unique<UsbGadget>(printer_, options_.limits, options_.usbGadget);
    }
}

Simulator::~Simulator() {
    usbGadget_.reset();
    usbNode_.reset();
    server_->Stop();
}

std::string Simulator::UsbNodePath() const {
    return usbNode_ ? usbNode_->path() : std::string();
}

UsbDevice Simulator::UsbDescription() const {
    const PrinterState state = printer_.state();
    UsbDevice device;
    device.serial = state.serialNumber;
    device.ieee1284Id = kpm::sim::DeviceId(state);
    return device;
}

void Simulator::HoldUsbIntake(bool hold) {
    if (usbGadget_) {
        usbGadget_->HoldIntake(hold);
    }
}

std::string Simulator::JobDeviceUri() const {
    return "socket://" + address_ + ":" + std::to_string(options_.jobPort);
}

void Simulator::WriteSnmpdConfig(const std::filesystem::path& path, std::uint16_t port) const {
    SnmpdSettings settings;
    settings.address = address_;
    settings.port = port;
    settings.deviceId = DeviceId();
    kpm::sim::WriteSnmpdConfig(path, settings);
}

}  // namespace kpm::sim
