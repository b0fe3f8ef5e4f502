#include "tools/printer-sim/loopback.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <random>

#include "tools/printer-sim/socket.h"

namespace kpm::sim {
namespace {

bool CanBind(const std::string& address, std::uint16_t port, int type) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    if (inet_pton(AF_INET, address.c_str(), &sa.sin_addr) != 1) {
        return false;
    }
    UniqueFd fd(::socket(AF_INET, type | SOCK_CLOEXEC, 0));
    if (!fd) {
        return false;
    }
    if (type == SOCK_STREAM) {
        // The same option the simulator's listeners use, so a port left in
        // TIME_WAIT by an earlier test does not count as taken.
        const int on = 1;
        ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    }
    return ::bind(fd.get(), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0;
}

}  // namespace

std::string RandomLoopbackAddress() {
    thread_local std::mt19937 engine{std::random_device{}()};
    std::uniform_int_distribution<int> octet(0, 255);
    std::uniform_int_distribution<int> last(1, 254);
    for (;;) {
        const int a = octet(engine);
        const int b = octet(engine);
        const int c = last(engine);
        if (a == 0 && (b == 0 || b == 1) && c == 1) {
            continue;
        }
        return "127." + std::to_string(a) + "." + std::to_string(b) + "." + std::to_string(c);
    }
}

bool LoopbackPortsFree(const std::string& address, std::initializer_list<std::uint16_t> tcpPorts,
                       std::initializer_list<std::uint16_t> udpPorts) {
    for (const std::uint16_t port : tcpPorts) {
        if (!CanBind(address, port, SOCK_STREAM)) {
            return false;
        }
    }
    for (const std::uint16_t port : udpPorts) {
        if (!CanBind(address, port, SOCK_DGRAM)) {
            return false;
        }
    }
    return true;
}

std::string PickFreeLoopbackAddress(std::initializer_list<std::uint16_t> tcpPorts,
                                    std::initializer_list<std::uint16_t> udpPorts, int attempts) {
    for (int i = 0; i < attempts; ++i) {
        std::string address = RandomLoopbackAddress();
        if (LoopbackPortsFree(address, tcpPorts, udpPorts)) {
            return address;
        }
    }
    throw std::system_error(std::make_error_code(std::errc::address_in_use),
                            "no free loopback address found");
}

bool IsAddressInUse(const std::system_error& error) noexcept {
    return error.code() == std::errc::address_in_use;
}

}  // namespace kpm::sim
