#include "tools/kpbidi/discover.h"

#include <arpa/inet.h>

#include <cstdio>
#include <exception>
#include <nlohmann/json.hpp>
#include <string_view>
#include <system_error>

#include "bidi/communications/network_discovery.h"
#include "bidi/communications/printer_discovery.h"
#include "platform/usb_printers.h"
#include "tools/kpbidi/printable.h"

namespace kpbidi_tool {
namespace {

using nlohmann::json;

constexpr char kDriver[] = "lsb/usr/kpm-maintenance/corvane-kpm-pro.ppd";

// The value of the first of `keys` in a device identifier
// ("KEY:value;KEY:value;"), or empty.
std::string Field(std::string_view id, std::initializer_list<std::string_view> keys) {
    while (!id.empty()) {
        const std::size_t end = id.find(';');
        const std::string_view pair = id.substr(0, end);
        const std::size_t colon = pair.find(':');
        if (colon != std::string_view::npos) {
            for (const std::string_view key : keys) {
                if (pair.substr(0, colon) == key) {
                    return std::string(pair.substr(colon + 1));
                }
            }
        }
        id = end == std::string_view::npos ? std::string_view() : id.substr(end + 1);
    }
    return {};
}

std::string Hex4(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", value & 0xFFFFu);
    return text;
}

std::string DottedAddress(std::uint32_t hostOrder) {
    in_addr a{};
    a.s_addr = htonl(hostOrder);
    char text[INET_ADDRSTRLEN] = {};
    return ::inet_ntop(AF_INET, &a, text, sizeof text) != nullptr ? text : "";
}

}  // namespace

bool IsKpmDeviceId(const std::string& deviceId) {
    return Field(deviceId, {"MFG", "MANUFACTURER"}) == "Corvane" &&
           Field(deviceId, {"MDL", "MODEL"}) == "KPM pro";
}

int Discover(const Invocation& in) {
    if (!in.args.empty()) {
        return in.output->UsageError("discover takes no arguments");
    }
    json document{{"network", json::array()}, {"usb", json::array()}, {"queues", json::array()}};
    std::string text = "KPM printers on this machine's networks:\n";
    std::vector<KpBidi::NetworkPrinter> network;
    try {
        network = KpBidi::DiscoverNetworkPrinters();
    } catch (const std::exception& e) {
        return in.output->Problem(std::string("network discovery failed: ") + e.what());
    }
    for (const KpBidi::NetworkPrinter& p : network) {
        const std::string uri = "socket://" + p.address + ":9100";
        document["network"].push_back({{"uri", uri},
                                       {"address", p.address},
                                       {"serial_number", p.serialNumber},
                                       {"device_id", p.deviceId},
                                       {"kind", "KPM printer"}});
        text += "  " + uri + "  serial " + Printable(p.serialNumber) + "  " +
                Printable(p.deviceId) + "\n";
    }
    if (network.empty()) {
        text += "  none answered\n";
    }

    text += "USB printers plugged in:\n";
    std::error_code usbError;
    const std::vector<platform::UsbPrinter> usb = platform::ListUsbPrinters(usbError);
    for (const platform::UsbPrinter& p : usb) {
        const platform::UsbPrinterInterface& port = p.PrinterInterface();
        const std::string id = port.ieee1284Id.value_or("");
        const bool kpm = IsKpmDeviceId(id);
        const char* kind = kpm ? "KPM printer" : "other printer";
        document["usb"].push_back({{"vendor_id", Hex4(p.vendorId)},
                                   {"product_id", Hex4(p.productId)},
                                   {"serial_number", p.serial},
                                   {"device_node", port.deviceNode},
                                   {"device_id", id},
                                   {"kind", kind}});
        text += "  " + Hex4(p.vendorId) + ":" + Hex4(p.productId) + "  serial " +
                Printable(p.serial) + "  " + kind + "  " +
                (port.deviceNode.empty() ? std::string("(no usblp node)") : port.deviceNode) +
                "  " + Printable(id) + "\n";
    }
    if (usbError) {
        document["usb_error"] = usbError.message();
        text += "  cannot be listed: " + usbError.message() + "\n";
    } else if (usb.empty()) {
        text += "  none\n";
    }

    text += "Print queues the wizard lists:\n";
    std::vector<KpBidi::DiscoveredPrinter> queues;
    try {
        queues = KpBidi::DiscoverPrinters();
    } catch (const std::exception&) {
        // A print system that cannot be searched has no queues to offer.
    }
    for (const KpBidi::DiscoveredPrinter& q : queues) {
        json entry{{"name", q.name}, {"kind", q.address != 0 ? "network" : "USB"}};
        if (q.address != 0) {
            entry["address"] = DottedAddress(q.address);
        }
        document["queues"].push_back(entry);
        text += "  " + Printable(q.name) + "  " +
                (q.address != 0 ? "network printer at " + DottedAddress(q.address)
                                : std::string("USB printer")) +
                "\n";
    }
    if (queues.empty()) {
        text +=
            "  none: add a queue with the desktop's printer settings, or with\n"
            "  sudo lpadmin -p NAME -E -v URI -m " +
            std::string(kDriver) +
            "\n  (the URI: socket://... above, or usb://... from 'sudo lpinfo -v')\n";
    }
    in.output->Result(text, document);
    return 0;
}

}  // namespace kpbidi_tool
