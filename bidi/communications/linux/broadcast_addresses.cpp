#include "bidi/communications/linux/broadcast_addresses.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <algorithm>
#include <memory>

namespace KpBidi::communications::linux {
namespace {

struct IfAddrsDeleter {
    void operator()(ifaddrs* list) const noexcept { ::freeifaddrs(list); }
};

}  // namespace

std::vector<std::string> BroadcastAddresses() {
    ifaddrs* raw = nullptr;
    if (::getifaddrs(&raw) != 0) {
        return {};
    }
    const std::unique_ptr<ifaddrs, IfAddrsDeleter> list(raw);
    std::vector<std::string> out;
    for (const ifaddrs* ifa = raw; ifa != nullptr; ifa = ifa->ifa_next) {
        const unsigned flags = ifa->ifa_flags;
        if (ifa->ifa_addr == nullptr || ifa->ifa_addr->sa_family != AF_INET ||
            (flags & IFF_UP) == 0 || (flags & IFF_LOOPBACK) != 0 || (flags & IFF_BROADCAST) == 0 ||
            ifa->ifa_broadaddr == nullptr || ifa->ifa_broadaddr->sa_family != AF_INET) {
            continue;
        }
        const auto* broadcast = reinterpret_cast<const sockaddr_in*>(ifa->ifa_broadaddr);
        char text[INET_ADDRSTRLEN] = {};
        if (::inet_ntop(AF_INET, &broadcast->sin_addr, text, sizeof text) == nullptr) {
            continue;
        }
        if (std::find(out.begin(), out.end(), text) == out.end()) {
            out.emplace_back(text);
        }
    }
    return out;
}

}  // namespace KpBidi::communications::linux
