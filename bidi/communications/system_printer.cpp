#include "bidi/communications/system_printer.h"

#include <algorithm>

#include "bidi/capi/error.h"
#include "bidi/communications/linux/network_connector.h"
#include "bidi/communications/linux/usb_connector.h"
#include "spooler/monitors.h"
#include "spooler/spooler.h"

namespace KpBidi {
std::unique_ptr<Printer> SystemPrinter::FromName(std::string name) {
    // The print system is asked only when a connector is needed; each
    // lookup makes its own connection.
    return FromName(std::move(name),
                    std::shared_ptr<spooler::Spooler>(spooler::MakeSystemSpooler()));
}

std::unique_ptr<Printer> SystemPrinter::FromName(std::string name,
                                                 std::shared_ptr<spooler::Spooler> spooler) {
    Factory factory = [name, spooler = std::move(spooler)] {
        return ResolveConnector(spooler, name);
    };
    return std::unique_ptr<Printer>(new SystemPrinter(std::move(name), std::move(factory)));
}

std::unique_ptr<communications::Connector> ResolveConnector(
    const std::shared_ptr<spooler::Spooler>& spooler, const std::string& name) {
    std::error_code error;
    const std::unique_ptr<spooler::Printer> printer = spooler->Open(name, error);
    ThrowIfSystemError(error);
    const std::string port = printer->Port(error);
    ThrowIfSystemError(error);
    const std::vector<spooler::PortEntry> ports = spooler->Ports(error);
    ThrowIfSystemError(error);

    // A class (a printer pool) has no port of its own, even with one member.
    const auto owner = std::find_if(ports.begin(), ports.end(),
                                    [&](const spooler::PortEntry& p) { return p.name == port; });
    const std::string monitor =
        owner != ports.end() && !printer->IsClass() ? owner->monitor : std::string();

    if (monitor == spooler::kUsbMonitor) {
        return std::make_unique<communications::linux::UsbConnector>(name, spooler);
    }
    if (monitor == spooler::kTcpMonitor) {
        std::string host = spooler->PortHost(port, error);
        ThrowIfSystemError(error);
        return std::make_unique<communications::linux::NetworkConnector>(std::move(host));
    }
    throw Error(UnsupportedPort);
}

}  // namespace KpBidi
