#include "bidi/communications/linux/deadline_printer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <stdexcept>

#include "bidi/capi/error.h"
#include "bidi/communications/linux/unique_fd.h"

namespace KpBidi::communications::linux {
namespace {

using Clock = DeadlinePrinter::Clock;

// Waits until `fd` is ready for `events` or the deadline has passed; false
// at the deadline.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, static_cast<int>(left.count()));
        if (n > 0) {
            return true;
        }
        if (n < 0 && errno != EINTR) {
            throw Error(CommunicationError, "DeadlineStream::Wait");
        }
    }
}

class DeadlineStream : public Stream {
public:
    DeadlineStream(const std::string& address, int port, Clock::time_point deadline)
        : deadline_(deadline) {
        sockaddr_in peer{};
        peer.sin_family = AF_INET;
        peer.sin_port = htons(static_cast<std::uint16_t>(port));
        if (::inet_pton(AF_INET, address.c_str(), &peer.sin_addr) != 1) {
            throw Error(InvalidArgument);
        }
        socket_.reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_TCP));
        if (!socket_) {
            throw Error(PlatformError);
        }
        if (::connect(socket_.get(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0) {
            return;
        }
        if (errno != EINPROGRESS && errno != EINTR) {
            throw Error(errno == ECONNREFUSED ? UnsupportedPort : CommunicationError);
        }
        if (!WaitFor(socket_.get(), POLLOUT, deadline_)) {
            throw Error(Timeout);
        }
        int error = 0;
        socklen_t len = sizeof error;
        if (::getsockopt(socket_.get(), SOL_SOCKET, SO_ERROR, &error, &len) != 0 || error != 0) {
            throw Error(error == ECONNREFUSED ? UnsupportedPort : CommunicationError);
        }
    }

    bool Write(const unsigned char* data, std::int32_t length) override {
        if (length < 0 || (length > 0 && data == nullptr)) {
            throw Error(InvalidArgument);
        }
        std::size_t sent = 0;
        const auto total = static_cast<std::size_t>(length);
        while (sent < total) {
            if (!WaitFor(socket_.get(), POLLOUT, deadline_)) {
                throw TimeoutException("network timeout");
            }
            const ssize_t n =
                ::send(socket_.get(), data + sent, total - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n < 0 && errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
                throw Error(CommunicationError, "Connection::Send");
            }
            sent += n > 0 ? static_cast<std::size_t>(n) : 0;
        }
        return true;
    }

    std::int64_t Read(std::vector<unsigned char>& buffer, bool& ok) override {
        for (;;) {
            if (!WaitFor(socket_.get(), POLLIN, deadline_)) {
                throw TimeoutException("network timeout");
            }
            const ssize_t got = ::recv(socket_.get(), buffer.data(), buffer.size(), MSG_DONTWAIT);
            if (got >= 0) {
                ok = true;
                return got;
            }
            if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
                throw std::runtime_error("Connection::Recieve");
            }
        }
    }

private:
    UniqueFd socket_;
    Clock::time_point deadline_;
};

class DeadlineConnector : public Connector {
public:
    DeadlineConnector(std::string address, Clock::time_point deadline)
        : address_(std::move(address)), deadline_(deadline) {}

    std::string GetDeviceId() override { throw Error(PrinterNotAvailable); }
    std::unique_ptr<Stream> OpenUsbStream() override {
        throw std::logic_error("a network printer has no USB stream");
    }
    std::unique_ptr<Stream> OpenNetworkStream(int port) override {
        if (port < 1 || port > 65535) {
            throw Error(InvalidArgument);
        }
        return std::make_unique<DeadlineStream>(address_, port, deadline_);
    }
    bool IsAvailable() override { return true; }
    int GetProtocolType() override { return NetworkProtocol; }
    std::size_t GetPreferredReadSize() override { return 0; }

private:
    std::string address_;
    Clock::time_point deadline_;
};

}  // namespace

std::unique_ptr<Connector> DeadlinePrinter::CreateConnector() {
    return std::make_unique<DeadlineConnector>(address_, deadline_);
}

}  // namespace KpBidi::communications::linux
