// Random loopback addresses for peers started by tests, so that tests
// running at the same time on this machine never meet on one address.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>

#include <random>
#include <string>

namespace kpm::test {

// 127.R.R.R with R random, never 127.0.0.1 or 127.0.1.1 (the host's own
// names) nor a .0 or .255 last byte.
inline std::string RandomLoopbackAddress() {
    static thread_local std::mt19937 rng{std::random_device{}()};
    std::uniform_int_distribution<int> byte(1, 254);
    for (;;) {
        const int b = byte(rng), c = byte(rng), d = byte(rng);
        if (b == 0 && (c == 0 || c == 1)) {
            continue;
        }
        return "127." + std::to_string(b) + "." + std::to_string(c) + "." + std::to_string(d);
    }
}

inline sockaddr_in SocketAddress(const std::string& address, std::uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    ::inet_pton(AF_INET, address.c_str(), &a.sin_addr);
    return a;
}

}  // namespace kpm::test
