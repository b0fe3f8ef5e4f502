// A one-connection TCP server on a random loopback address, playing the
// printer's side of a transport test: it accepts one connection and hands it
// to a function that reads and writes what the test needs.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tools/printer-sim/loopback.h"

namespace kpm::test {

using Bytes = std::vector<unsigned char>;

// Reads exactly n bytes, fewer only if the peer closes first.
inline Bytes ReadBytes(int fd, std::size_t n) {
    Bytes out(n);
    std::size_t got = 0;
    while (got < n) {
        const ssize_t r = ::recv(fd, out.data() + got, n - got, 0);
        if (r <= 0) {
            break;
        }
        got += static_cast<std::size_t>(r);
    }
    out.resize(got);
    return out;
}

inline void WriteBytes(int fd, const Bytes& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t w = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (w <= 0) {
            return;
        }
        sent += static_cast<std::size_t>(w);
    }
}

inline sockaddr_in SocketAddress(const std::string& address, std::uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    ::inet_pton(AF_INET, address.c_str(), &a.sin_addr);
    return a;
}

// Closes with a reset instead of an orderly end.
inline void Reset(int fd) {
    linger l{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    ::close(fd);
}

// Binds a socket of `type` to a random loopback address at `port` (0: any),
// retrying other addresses while one is in use. Returns the socket.
inline int BindRandomLoopback(int type, std::uint16_t port, std::string& address) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        const int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            throw std::runtime_error("socket failed");
        }
        address = kpm::sim::RandomLoopbackAddress();
        const sockaddr_in a = SocketAddress(address, port);
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0) {
            return fd;
        }
        const int error = errno;
        ::close(fd);
        if (error != EADDRINUSE) {
            throw std::runtime_error("bind failed: " + std::to_string(error));
        }
    }
    throw std::runtime_error("no free loopback address");
}

class TcpPeer {
public:
    // Serves one connection on `port` with `serve`; the connection is closed
    // (orderly) when `serve` returns, unless `serve` closed it itself and
    // returned true.
    TcpPeer(std::uint16_t port, std::function<bool(int fd)> serve) : serve_(std::move(serve)) {
        listen_ = BindRandomLoopback(SOCK_STREAM, port, address_);
        sockaddr_in bound{};
        socklen_t len = sizeof bound;
        ::getsockname(listen_, reinterpret_cast<sockaddr*>(&bound), &len);
        port_ = ntohs(bound.sin_port);
        if (::listen(listen_, 4) != 0 || ::pipe2(stop_, O_CLOEXEC) != 0) {
            throw std::runtime_error("listen failed");
        }
        thread_ = std::thread([this] { Run(); });
    }

    ~TcpPeer() {
        const char b = 0;
        [[maybe_unused]] const auto w = ::write(stop_[1], &b, 1);
        thread_.join();
        ::close(listen_);
        ::close(stop_[0]);
        ::close(stop_[1]);
    }

    TcpPeer(const TcpPeer&) = delete;
    TcpPeer& operator=(const TcpPeer&) = delete;

    const std::string& address() const { return address_; }
    std::uint16_t port() const { return port_; }

private:
    void Run() {
        pollfd p[2] = {{listen_, POLLIN, 0}, {stop_[0], POLLIN, 0}};
        if (::poll(p, 2, -1) <= 0 || (p[0].revents & POLLIN) == 0) {
            return;
        }
        const int fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            return;
        }
        if (!serve_(fd)) {
            ::close(fd);
        }
    }

    std::function<bool(int)> serve_;
    std::string address_;
    std::uint16_t port_ = 0;
    int listen_ = -1;
    int stop_[2] = {-1, -1};
    std::thread thread_;
};

}  // namespace kpm::test
