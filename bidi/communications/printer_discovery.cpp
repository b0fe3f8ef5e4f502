#include "bidi/communications/printer_discovery.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <thread>

#include "bidi/capi/error.h"
#include "bidi/communications/linux/address.h"
#include "bidi/communications/linux/icmp_echo.h"
#include "spooler/monitors.h"
#include "spooler/spooler.h"

namespace KpBidi {
namespace {

// More probes than this at once gain nothing but threads.
constexpr std::size_t kMaxProbesAtOnce = 64;

bool IsFilePort(const std::string& port) {
    if (port == "FILE:") {
        return true;
    }
    std::string scheme(spooler::SchemeOfDeviceUri(port));
    std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return scheme == "file";
}

bool UsbQueueIsKpm(spooler::Spooler& spooler, const std::string& name) {
    std::error_code error;
    const std::unique_ptr<spooler::Printer> printer = spooler.Open(name, error);
    if (error || !printer) {
        return false;
    }
    const std::vector<unsigned char> value = printer->DriverData(kMatCheckValue, error);
    return !error && !value.empty() && value.size() <= 4 && value[0] == 0;
}

struct NetworkCandidate {
    std::string host;
};

// Resolves and echoes every candidate, at most kMaxProbesAtOnce at a time;
// the address of each that answered, 0 for the others.
std::vector<std::uint32_t> ProbeAll(const std::vector<NetworkCandidate>& candidates,
                                    const EchoTest& echo, const Ipv4Resolver& resolve) {
    std::vector<std::uint32_t> answered(candidates.size(), 0);
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < candidates.size(); i = next++) {
            try {
                const std::uint32_t address = resolve(candidates[i].host);
                if (address != 0 && echo(address, kDiscoveryEchoTimeout)) {
                    answered[i] = address;
                }
            } catch (...) {
                // A probe that fails in any way is a printer that did not answer.
            }
        }
    };
    const std::size_t threads = std::min(candidates.size(), kMaxProbesAtOnce);
    std::vector<std::thread> pool;
    pool.reserve(threads);
    for (std::size_t t = 0; t < threads; ++t) {
        pool.emplace_back(work);
    }
    for (std::thread& t : pool) {
        t.join();
    }
    return answered;
}

}  // namespace

std::vector<DiscoveredPrinter> DiscoverPrinters(spooler::Spooler& spooler, const EchoTest& echo,
                                                const Ipv4Resolver& resolve) {
    std::error_code error;
    const std::vector<spooler::PrinterEntry> printers = spooler.Printers(error);
    if (error) {
        return {};
    }
    const std::vector<spooler::PortEntry> ports = spooler.Ports(error);
    if (error) {
        return {};
    }

    // In print-system order: a decided printer (USB) or a network printer
    // waiting for its probe.
    struct Slot {
        std::string name;
        bool accepted = false;
        std::optional<std::size_t> probe;
    };
    std::vector<Slot> slots;
    std::vector<NetworkCandidate> candidates;
    for (const spooler::PrinterEntry& p : printers) {
        if (p.driver != kKpmDriverName || p.name.find("FileOutput") != std::string::npos ||
            IsFilePort(p.port) || p.isClass) {
            continue;
        }
        const auto owner =
            std::find_if(ports.begin(), ports.end(),
                         [&](const spooler::PortEntry& e) { return e.name == p.port; });
        const std::string monitor = owner != ports.end() ? owner->monitor : std::string();
        if (monitor == spooler::kTcpMonitor) {
            std::string host = spooler.PortHost(p.port, error);
            if (error) {
                continue;
            }
            slots.push_back({p.name, false, candidates.size()});
            candidates.push_back({std::move(host)});
        } else if (monitor == spooler::kUsbMonitor) {
            slots.push_back({p.name, false, std::nullopt});
        }
        // A queue of any other port reaches no KPM transport: skipped.
    }

    // The network probes run while the USB queues are read.
    std::vector<std::uint32_t> answered;
    std::thread probing([&] { answered = ProbeAll(candidates, echo, resolve); });
    for (Slot& s : slots) {
        if (!s.probe) {
            s.accepted = UsbQueueIsKpm(spooler, s.name);
        }
    }
    probing.join();

    std::vector<DiscoveredPrinter> found;
    for (const Slot& s : slots) {
        if (s.probe) {
            if (answered[*s.probe] != 0) {
                found.push_back({s.name, answered[*s.probe]});
            }
        } else if (s.accepted) {
            found.push_back({s.name, 0});
        }
    }
    return found;
}

std::vector<DiscoveredPrinter> DiscoverPrinters() {
    const std::unique_ptr<spooler::Spooler> spooler = spooler::MakeSystemSpooler();
    return DiscoverPrinters(*spooler, IcmpEcho, ResolveFirstIpv4);
}

bool IcmpEcho(std::uint32_t address, std::chrono::milliseconds timeout) {
    in_addr target{};
    target.s_addr = htonl(address);
    return communications::linux::EchoProbe::Open().Echo(target, timeout);
}

std::uint32_t ResolveFirstIpv4(const std::string& host) {
    try {
        const addrinfo hints = communications::linux::IPv4StreamHints();
        const communications::linux::AddressList list =
            communications::linux::Address::GetAddressInfo(host, {}, &hints);
        for (const addrinfo* a = list.get(); a != nullptr; a = a->ai_next) {
            if (a->ai_family == AF_INET && a->ai_addr != nullptr &&
                a->ai_addrlen >= sizeof(sockaddr_in)) {
                return ntohl(reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr);
            }
        }
    } catch (const Error&) {
        // A name that does not resolve has no address.
    }
    return 0;
}

}  // namespace KpBidi
