#include "bidi/communications/linux/connection.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <stdexcept>

#include "bidi/capi/error.h"
#include "bidi/communications/linux/address.h"
#include "bidi/communications/stream.h"

namespace KpBidi::communications::linux {
namespace {

using Clock = std::chrono::steady_clock;

// A blocking connect interrupted by a signal goes on in the background; wait
// for its outcome instead of starting a second one on the same socket.
int FinishInterruptedConnect(int fd) {
    for (;;) {
        pollfd p{fd, POLLOUT, 0};
        const int n = ::poll(&p, 1, -1);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return errno;
        }
        int error = 0;
        socklen_t len = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) != 0) {
            return errno;
        }
        return error;
    }
}

// 0 on success, else the errno of the failed attempt.
int ConnectOnce(UniqueFd& fd, const addrinfo& address) {
    fd.reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP));
    if (!fd) {
        return errno;
    }
    if (::connect(fd.get(), address.ai_addr, address.ai_addrlen) == 0) {
        return 0;
    }
    if (errno == EINTR) {
        return FinishInterruptedConnect(fd.get());
    }
    return errno;
}

}  // namespace

Connection::Connection(std::string host, std::uint16_t port) : host_(std::move(host)) {
    const addrinfo hints = IPv4StreamHints();
    const AddressList list = Address::GetAddressInfo(host_, std::to_string(port), &hints);
    int lastError = 0;
    for (const addrinfo* a = list.get(); a != nullptr; a = a->ai_next) {
        if (a->ai_family != AF_INET) {
            continue;
        }
        UniqueFd fd;
        lastError = ConnectOnce(fd, *a);
        if (lastError == 0) {
            socket_ = std::move(fd);
            return;
        }
    }
    if (lastError == ECONNREFUSED) {
        throw Error(UnsupportedPort);
    }
    throw Error(Unexpected);
}

void Connection::Send(const unsigned char* data, std::size_t length) {
    // One send hands the block over. MSG_NOSIGNAL: a printer that has
    // dropped the connection must give an error, not kill the process with
    // SIGPIPE. Only a signal can cut a blocking send short; the rest of the
    // block then follows, since a printer cannot act on half a request.
    std::size_t sent = 0;
    do {
        const ssize_t n = ::send(socket_.get(), data + sent, length - sent, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw Error(CommunicationError, "Connection::Send");
        }
        sent += static_cast<std::size_t>(n);
    } while (sent < length);
}

std::size_t Connection::Receive(unsigned char* buffer, std::size_t size,
                                std::chrono::milliseconds wait) {
    const auto deadline = Clock::now() + wait;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd p{socket_.get(), POLLIN, 0};
        const int n = ::poll(&p, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throw std::runtime_error("Connection::Recieve");
        }
        if (n == 0) {
            throw TimeoutException("network timeout");
        }
        // Readable, closed or in error: recv tells which.
        break;
    }
    for (;;) {
        const ssize_t got = ::recv(socket_.get(), buffer, size, 0);
        if (got >= 0) {
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) {
            throw std::runtime_error("Connection::Recieve");
        }
    }
}

}  // namespace KpBidi::communications::linux
