// Finding the KPM printers of the print system that can be reached now:
// the list the wizard's main page offers.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace spooler {
class Spooler;
}

namespace KpBidi {

// The driver name of the family's queues, compared exactly.
inline constexpr char kKpmDriverName[] = "Corvane KPM pro";
// The driver data value that marks a USB queue as a KPM printer (first byte 0).
inline constexpr char kMatCheckValue[] = "CvMatCheck";
// How long a network printer has to answer its echo request.
inline constexpr std::chrono::milliseconds kDiscoveryEchoTimeout{1000};

struct DiscoveredPrinter {
    std::string name;
    // IPv4 address in host byte order for a network printer, 0 for USB.
    std::uint32_t address = 0;

    bool operator==(const DiscoveredPrinter&) const = default;
};

// Sends one echo request to `address` (host byte order) and waits at most
// `timeout` for the reply; true if it came.
using EchoTest = std::function<bool(std::uint32_t address, std::chrono::milliseconds timeout)>;

// The first IPv4 address of `host` in host byte order, 0 if it has none.
using Ipv4Resolver = std::function<std::uint32_t(const std::string& host)>;

// The accepted printers, in the print system's order. A queue is accepted
// when its driver is exactly kKpmDriverName, its name does not contain
// "FileOutput", its port is not a file, it is no class (a printer pool has
// no port of its own), and either
// - its port belongs to the standard TCP/IP monitor, the port's host
//   resolves to an IPv4 address and that address answers one echo within
//   kDiscoveryEchoTimeout (accepted with the address), or
// - its port belongs to the USB monitor and its driver's CvMatCheck value
//   has at most 4 bytes, the first of them 0 (accepted with address 0).
// Every other queue is skipped, and so is everything when the print system
// cannot list its queues. The network printers are probed all at once, so
// silent ones cost about one time-out together, not one each.
std::vector<DiscoveredPrinter> DiscoverPrinters(spooler::Spooler& spooler, const EchoTest& echo,
                                                const Ipv4Resolver& resolve);

// The same on this machine's print system, with ICMP echo and the system's
// name resolver.
std::vector<DiscoveredPrinter> DiscoverPrinters();

// ICMP echo (or the stand-in the process is allowed, see icmp_echo.h).
bool IcmpEcho(std::uint32_t address, std::chrono::milliseconds timeout);

// The system's name resolver.
std::uint32_t ResolveFirstIpv4(const std::string& host);

}  // namespace KpBidi
