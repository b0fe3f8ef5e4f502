// One TCP connection to a printer: connect, send a block, receive with a
// time-out.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "bidi/communications/linux/unique_fd.h"

namespace KpBidi::communications::linux {

class Connection {
public:
    // Each connect attempt waits at most this long for the handshake, as
    // long as a read waits for data.
    static constexpr std::chrono::milliseconds kConnectTimeout{10'000};

    // Resolves `host` to IPv4 addresses and connects to `port` on each in the
    // resolver's order, each attempt on a fresh socket, keeping the first
    // that succeeds. Resolution failure -> Error 1011; the last attempt
    // refused -> Error 1002, not completed within `connectTimeout` -> Error
    // 1005; any other failure -> Error -1.
    Connection(std::string host, std::uint16_t port,
               std::chrono::milliseconds connectTimeout = kConnectTimeout);

    // Hands the whole block to the socket. Failure -> Error 1011
    // "Connection::Send".
    void Send(const unsigned char* data, std::size_t length);

    // Waits at most `wait` for data, then receives once into `buffer`.
    // Returns the count; 0 means the peer closed the connection. Nothing
    // within `wait` -> TimeoutException "network timeout"; a receive failure
    // -> std::runtime_error "Connection::Recieve".
    std::size_t Receive(unsigned char* buffer, std::size_t size, std::chrono::milliseconds wait);

    const std::string& host() const noexcept { return host_; }

private:
    std::string host_;
    UniqueFd socket_;
};

}  // namespace KpBidi::communications::linux
