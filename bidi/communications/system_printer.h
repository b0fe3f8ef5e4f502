// A printer known by its print-queue name, whose transport is looked up in
// the print system every time a connector is needed.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "bidi/communications/connector.h"
#include "bidi/protocol/printer.h"

namespace spooler {
class Spooler;
}

namespace KpBidi {

class SystemPrinter : public Printer {
public:
    // Touches nothing in the print system; fails only for lack of memory.
    static std::unique_ptr<Printer> FromName(std::string name);

    // The same, asking `spooler` instead of this machine's print system.
    static std::unique_ptr<Printer> FromName(std::string name,
                                             std::shared_ptr<spooler::Spooler> spooler);

    std::string GetName() override { return name_; }

    // A fresh connector, resolved afresh (see ResolveConnector).
    std::unique_ptr<communications::Connector> CreateConnector() override { return factory_(); }

private:
    using Factory = std::function<std::unique_ptr<communications::Connector>()>;
    SystemPrinter(std::string name, Factory factory)
        : name_(std::move(name)), factory_(std::move(factory)) {}

    std::string name_;
    Factory factory_;
};

// How printer `name` is attached, as `spooler` sees it now: a port of the
// USB monitor gives a UsbConnector holding the name (and asking `spooler`
// again for each of its queries), a port of the standard
// TCP/IP monitor a NetworkConnector holding the port's host (a DNS name
// stays a name). The monitor is the one of the first port whose name is
// exactly the printer's port; a class (a printer pool, whatever its
// members), a port that is no listed port, or any other monitor raises
// Error(UnsupportedPort). Failures of
// the print system raise Error by CodeFromSystemError (1001 unknown
// printer, 1004 access refused, 1008 anything else).
std::unique_ptr<communications::Connector> ResolveConnector(
    const std::shared_ptr<spooler::Spooler>& spooler, const std::string& name);

}  // namespace KpBidi
