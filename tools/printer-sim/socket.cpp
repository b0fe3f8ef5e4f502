#include "tools/printer-sim/socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace kpm::sim {
namespace {

[[noreturn]] void ThrowErrno(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

sockaddr_in MakeAddress(const std::string& address, std::uint16_t port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    if (inet_pton(AF_INET, address.c_str(), &sa.sin_addr) != 1) {
        throw std::system_error(std::make_error_code(std::errc::invalid_argument),
                                "not an IPv4 address: " + address);
    }
    return sa;
}

// Waits for `events` on fd or for the stop signal. false on time-out.
bool WaitFor(int fd, short events, const StopSignal& stop, std::chrono::milliseconds timeout) {
    pollfd fds[2] = {{fd, events, 0}, {stop.fd(), POLLIN, 0}};
    for (;;) {
        const int n = ::poll(fds, 2, static_cast<int>(timeout.count()));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowErrno("poll");
        }
        if (fds[1].revents != 0) {
            throw Stopped{};
        }
        return n > 0;
    }
}

}  // namespace

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        reset();
        fd_ = other.release();
    }
    return *this;
}

UniqueFd::~UniqueFd() {
    reset();
}

int UniqueFd::release() noexcept {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void UniqueFd::reset() noexcept {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

StopSignal::StopSignal() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (!fd_) {
        ThrowErrno("eventfd");
    }
}

void StopSignal::Raise() noexcept {
    const std::uint64_t one = 1;
    // Nothing useful can be done if this fails; the counter cannot overflow
    // from a handful of raises.
    [[maybe_unused]] const auto n = ::write(fd_.get(), &one, sizeof one);
}

bool StopSignal::raised() const noexcept {
    pollfd p{fd_.get(), POLLIN, 0};
    return ::poll(&p, 1, 0) > 0;
}

UniqueFd ListenTcp(const std::string& address, std::uint16_t port, int backlog) {
    const sockaddr_in sa = MakeAddress(address, port);
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd) {
        ThrowErrno("socket");
    }
    const int on = 1;
    if (::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) {
        ThrowErrno("setsockopt");
    }
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) != 0) {
        ThrowErrno(("bind " + address + ":" + std::to_string(port)).c_str());
    }
    if (::listen(fd.get(), backlog) != 0) {
        ThrowErrno("listen");
    }
    return fd;
}

UniqueFd ConnectTcp(const std::string& address, std::uint16_t port) {
    const sockaddr_in sa = MakeAddress(address, port);
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd) {
        ThrowErrno("socket");
    }
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) != 0) {
        ThrowErrno(("connect " + address + ":" + std::to_string(port)).c_str());
    }
    return fd;
}

bool WaitReadable(int fd, const StopSignal& stop, std::chrono::milliseconds timeout) {
    return WaitFor(fd, POLLIN, stop, timeout);
}

void WriteAll(int fd, const unsigned char* data, std::size_t size, const StopSignal& stop,
              std::chrono::milliseconds stall) {
    bool socket = true;
    while (size > 0) {
        // Device nodes (a pseudo-terminal standing in for USB) take write().
        const ssize_t n =
            socket ? ::send(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT) : ::write(fd, data, size);
        if (n < 0 && errno == ENOTSOCK && socket) {
            socket = false;
            continue;
        }
        if (n > 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!WaitFor(fd, POLLOUT, stop, stall)) {
                throw std::system_error(std::make_error_code(std::errc::timed_out),
                                        "peer stopped reading");
            }
            continue;
        }
        ThrowErrno("send");
    }
}

}  // namespace kpm::sim
