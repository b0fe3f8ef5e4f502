// Host name resolution for the network transport.
#pragma once

#include <netdb.h>

#include <memory>
#include <string>

namespace KpBidi::communications::linux {

// A resolver's address list, shared; the last holder frees it with
// freeaddrinfo. Entries keep the resolver's order.
using AddressList = std::shared_ptr<const addrinfo>;

class Address {
public:
    // Resolves `host` and `service` (an empty service asks for none) with
    // `hints` (nullptr: none). A failure raises KpBidi::Error 1011 with
    // "Address::GetAddressInfo: name resolution is failed".
    static AddressList GetAddressInfo(const std::string& host, const std::string& service,
                                      const addrinfo* hints);
};

// Hints asking for IPv4 stream addresses only: one entry per address.
addrinfo IPv4StreamHints() noexcept;

// The first IPv4 address of `host` as dotted text, or an empty string when
// none converts. A host without any IPv4 address raises the resolution error.
std::string ResolveIPv4Text(const std::string& host);

}  // namespace KpBidi::communications::linux
