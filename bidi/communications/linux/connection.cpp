#include "bidi/communications/linux/connection.h"

#include <fcntl.h>
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

// 0 once the socket is back in blocking mode, else the errno.
int MakeBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        return errno;
    }
    return 0;
}

// 0 on success, else the errno of the failed attempt; ETIMEDOUT when the
// handshake has not completed by `deadline`. The connect runs non-blocking,
// since a printer (or a peer) that never completes the handshake would keep
// a blocking connect waiting as long as the kernel retries, minutes.
int ConnectOnce(UniqueFd& fd, const addrinfo& address, Clock::time_point deadline) {
    fd.reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_TCP));
    if (!fd) {
        return errno;
    }
    if (::connect(fd.get(), address.ai_addr, address.ai_addrlen) == 0) {
        return MakeBlocking(fd.get());
    }
    if (errno != EINPROGRESS && errno != EINTR) {
        return errno;
    }
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return ETIMEDOUT;
        }
        pollfd p{fd.get(), POLLOUT, 0};
        const int n = ::poll(&p, 1, static_cast<int>(left.count()));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return errno;
        }
        if (n == 0) {
            continue;  // the deadline check above ends it
        }
        int error = 0;
        socklen_t len = sizeof error;
        if (::getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &error, &len) != 0) {
            return errno;
        }
        return error != 0 ? error : MakeBlocking(fd.get());
    }
}

}  // namespace

Connection::Connection(std::string host, std::uint16_t port,
                       std::chrono::milliseconds connectTimeout)
    : host_(std::move(host)) {
    const addrinfo hints = IPv4StreamHints();
    const AddressList list = Address::GetAddressInfo(host_, std::to_string(port), &hints);
    int lastError = 0;
    for (const addrinfo* a = list.get(); a != nullptr; a = a->ai_next) {
        if (a->ai_family != AF_INET) {
            continue;
        }
        UniqueFd fd;
        lastError = ConnectOnce(fd, *a, Clock::now() + connectTimeout);
        if (lastError == 0) {
            socket_ = std::move(fd);
            return;
        }
    }
    if (lastError == ECONNREFUSED) {
        throw Error(UnsupportedPort);
    }
    if (lastError == ETIMEDOUT) {
        throw Error(Timeout);
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
    // While a reply streams in, bytes are usually waiting already: take them
    // without first asking poll, which would double the system calls.
    for (;;) {
        const ssize_t got = ::recv(socket_.get(), buffer, size, MSG_DONTWAIT);
        if (got >= 0) {
            return static_cast<std::size_t>(got);
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            break;
        }
        if (errno != EINTR) {
            throw std::runtime_error("Connection::Recieve");
        }
    }
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
