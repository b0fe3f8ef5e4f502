#include "bidi/communications/linux/address.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "bidi/capi/error.h"

namespace KpBidi::communications::linux {

AddressList Address::GetAddressInfo(const std::string& host, const std::string& service,
                                    const addrinfo* hints) {
    addrinfo* list = nullptr;
    const int rc =
        ::getaddrinfo(host.c_str(), service.empty() ? nullptr : service.c_str(), hints, &list);
    if (rc != 0 || list == nullptr) {
        throw Error(CommunicationError, "Address::GetAddressInfo: name resolution is failed");
    }
    return AddressList(list, [](const addrinfo* p) { ::freeaddrinfo(const_cast<addrinfo*>(p)); });
}

addrinfo IPv4StreamHints() noexcept {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    return hints;
}

std::string ResolveIPv4Text(const std::string& host) {
    const addrinfo hints = IPv4StreamHints();
    const AddressList list = Address::GetAddressInfo(host, {}, &hints);
    for (const addrinfo* a = list.get(); a != nullptr; a = a->ai_next) {
        if (a->ai_family != AF_INET || a->ai_addr == nullptr ||
            a->ai_addrlen < sizeof(sockaddr_in)) {
            continue;
        }
        char text[INET_ADDRSTRLEN] = {};
        const auto* in = reinterpret_cast<const sockaddr_in*>(a->ai_addr);
        if (::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text) != nullptr) {
            return text;
        }
    }
    return {};
}

}  // namespace KpBidi::communications::linux
