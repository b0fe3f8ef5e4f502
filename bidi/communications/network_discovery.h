// Finding the KPM printers on the machine's own IPv4 networks, with no
// print queue yet: what the CUPS backend `kpm` and `kpbidi discover` list.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace KpBidi {

struct NetworkPrinter {
    std::string address;       // dotted IPv4 text
    std::string deviceId;      // as the printer announced it over SNMP (bounded)
    std::string serialNumber;  // from the printer's identity read

    bool operator==(const NetworkPrinter&) const = default;
};

// How long answers to the broadcasts are collected, and the bound on the
// whole discovery: what the answering printers are asked afterwards ends
// by then, however slowly they answer.
inline constexpr std::chrono::milliseconds kDiscoveryAnswerWindow{1000};
inline constexpr std::chrono::milliseconds kNetworkDiscoveryBound{3000};
// A network (or an attacker on it) could answer from thousands of
// addresses; beyond this many agents per broadcast the rest are ignored.
inline constexpr std::size_t kMaxDiscoveryAnswers = 256;
// Longer device identifiers are cut: IEEE 1284 identifiers are short, and
// what a printer sends is bounded before anyone uses it.
inline constexpr std::size_t kMaxDeviceIdBytes = 1023;

// An SNMP agent that answered a broadcast: its address and the device
// identifier it gave (already an octet string).
struct SnmpAgentAnswer {
    std::string address;
    std::string deviceId;
};

// The pieces of the discovery, replaceable for tests.
struct NetworkDiscoverySteps {
    // The broadcast addresses to ask.
    std::function<std::vector<std::string>()> broadcasts;
    // One GET of the device identifier to a broadcast address: the agents
    // that answered with an octet string within the answer window.
    std::function<std::vector<SnmpAgentAnswer>(const std::string& broadcast)> ask;
    // The printer protocol's identity read at `address`, ended by
    // `deadline`: true with the serial number when a reply of the printer
    // protocol came (whatever its status: a busy printer is still one),
    // false when it is no KPM printer (no reply by then, or no valid one).
    std::function<bool(const std::string& address, std::chrono::steady_clock::time_point deadline,
                       std::string& serial)>
        confirm;
};

// One device identifier GET to the broadcast address of every interface at
// once; every agent that answers is confirmed by the printer protocol's
// identity read (at most 64 at a time), all ending by `bound` from the
// start. The confirmed printers, each address once, in address order.
std::vector<NetworkPrinter> DiscoverNetworkPrinters(
    const NetworkDiscoverySteps& steps, std::chrono::milliseconds bound = kNetworkDiscoveryBound);

// The same on this machine's interfaces, over SNMP and the printer port.
std::vector<NetworkPrinter> DiscoverNetworkPrinters();

}  // namespace KpBidi
