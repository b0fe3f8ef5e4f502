#include "spooler/cups/cups_spooler.h"

#include <strings.h>
#include <algorithm>
#include <map>

#include "spooler/cups/connection.h"
#include "spooler/cups/cups_printer.h"
#include "spooler/device_uri.h"
#include "spooler/monitors.h"

namespace spooler {

std::unique_ptr<Spooler> MakeSystemSpooler() {
    return std::make_unique<cups::CupsSpooler>();
}

namespace cups {
namespace {

struct CaseInsensitiveLess {
    bool operator()(const std::string& a, const std::string& b) const noexcept {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    }
};

const char* StringOf(ipp_attribute_t* attribute) {
    const char* text = attribute ? ippGetString(attribute, 0, nullptr) : nullptr;
    return text ? text : "";
}

}  // namespace

std::vector<PrinterEntry> CupsSpooler::Printers(std::error_code& error) {
    Connection connection(error);
    if (error) {
        return {};
    }
    static const char* const kWanted[] = {"printer-name", "device-uri", "printer-make-and-model",
                                          "printer-type", "member-names"};
    Ipp request(ippNewRequest(IPP_OP_CUPS_GET_PRINTERS));
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(std::size(kWanted)), nullptr, kWanted);
    Ipp response = connection.Send(std::move(request), "/", Errc::Failed, error);
    if (error) {
        // A server without any queue answers "not found".
        if (cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND) {
            error.clear();
        }
        return {};
    }

    std::vector<PrinterEntry> printers;
    std::vector<std::vector<std::string>> members;  // per printer, for classes
    PrinterEntry current;
    std::vector<std::string> currentMembers;
    bool inPrinter = false;
    auto flush = [&] {
        if (inPrinter && !current.name.empty()) {
            printers.push_back(std::move(current));
            members.push_back(std::move(currentMembers));
        }
        current = {};
        currentMembers.clear();
        inPrinter = false;
    };
    for (ipp_attribute_t* a = ippFirstAttribute(response.get()); a;
         a = ippNextAttribute(response.get())) {
        const char* name = ippGetName(a);
        if (!name) {  // a group separator ends one printer
            flush();
            continue;
        }
        if (ippGetGroupTag(a) != IPP_TAG_PRINTER) {
            continue;
        }
        inPrinter = true;
        const std::string_view key = name;
        if (key == "printer-name") {
            current.name = StringOf(a);
        } else if (key == "device-uri") {
            current.port = StringOf(a);
        } else if (key == "printer-make-and-model") {
            current.driver = StringOf(a);
        } else if (key == "printer-type") {
            current.isClass = (ippGetInteger(a, 0) & CUPS_PRINTER_CLASS) != 0;
        } else if (key == "member-names") {
            for (int i = 0; i < ippGetCount(a); ++i) {
                const char* member = ippGetString(a, i, nullptr);
                currentMembers.emplace_back(member ? member : "");
            }
        }
    }
    flush();

    // A class prints through its members' ports, so it has no port of its
    // own: list the members' ports, which matches no single port.
    std::map<std::string, std::string, CaseInsensitiveLess> portOf;
    for (const PrinterEntry& p : printers) {
        if (!p.isClass) {
            portOf[p.name] = p.port;
        }
    }
    for (std::size_t i = 0; i < printers.size(); ++i) {
        if (!printers[i].isClass) {
            continue;
        }
        std::string ports;
        for (const std::string& member : members[i]) {
            if (!ports.empty()) {
                ports += ',';
            }
            const auto found = portOf.find(member);
            ports += found != portOf.end() ? found->second : member;
        }
        printers[i].port = std::move(ports);
    }
    return printers;
}

std::vector<PortEntry> CupsSpooler::Ports(std::error_code& error) {
    const std::vector<PrinterEntry> printers = Printers(error);
    std::vector<PortEntry> ports;
    for (const PrinterEntry& p : printers) {
        if (p.isClass || p.port.empty()) {
            continue;
        }
        const bool known = std::any_of(ports.begin(), ports.end(),
                                       [&](const PortEntry& e) { return e.name == p.port; });
        if (!known) {
            ports.push_back({p.port, std::string(MonitorOfDeviceUri(p.port))});
        }
    }
    return ports;
}

std::unique_ptr<Printer> CupsSpooler::Open(std::string_view name, std::error_code& error) {
    return CupsPrinter::Open(name, error);
}

std::string CupsSpooler::PortHost(std::string_view port, std::error_code& error) {
    return HostOfSocketUri(port, error);
}

}  // namespace cups
}  // namespace spooler
