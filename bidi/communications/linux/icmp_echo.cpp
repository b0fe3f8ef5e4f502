#include "bidi/communications/linux/icmp_echo.h"

#include <arpa/inet.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>

namespace KpBidi::communications::linux {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kEchoHeaderSize = 8;
constexpr std::size_t kMinIpHeaderSize = 20;

// Sequence numbers and raw-socket identifiers are process-wide, so that two
// probes running at once (each raw socket sees every ICMP message of the
// host) never take each other's replies.
std::atomic<std::uint16_t> nextSequence{1};
std::atomic<std::uint16_t> nextIdentifier{0};

std::uint16_t Checksum(const unsigned char* data, std::size_t size) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        sum += static_cast<std::uint32_t>((data[i] << 8) | data[i + 1]);
    }
    if (size % 2 != 0) {
        sum += static_cast<std::uint32_t>(data[size - 1] << 8);
    }
    while ((sum >> 16) != 0) {
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return static_cast<std::uint16_t>(~sum);
}

std::array<unsigned char, kEchoHeaderSize> EchoRequest(std::uint16_t identifier,
                                                       std::uint16_t sequence) {
    std::array<unsigned char, kEchoHeaderSize> m{
        ICMP_ECHO,
        0,
        0,
        0,
        static_cast<unsigned char>(identifier >> 8),
        static_cast<unsigned char>(identifier),
        static_cast<unsigned char>(sequence >> 8),
        static_cast<unsigned char>(sequence),
    };
    const std::uint16_t sum = Checksum(m.data(), m.size());
    m[2] = static_cast<unsigned char>(sum >> 8);
    m[3] = static_cast<unsigned char>(sum);
    return m;
}

std::uint16_t U16(const unsigned char* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits until `fd` has `events` or the deadline passes; false on time-out.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, MillisecondsLeft(deadline));
        if (n > 0) {
            return true;
        }
        if (n == 0 || errno != EINTR) {
            return false;
        }
    }
}

}  // namespace

EchoProbe::EchoProbe(EchoMethod method, UniqueFd socket)
    : method_(method),
      socket_(std::move(socket)),
      identifier_(static_cast<std::uint16_t>(static_cast<unsigned>(::getpid()) ^
                                             (nextIdentifier.fetch_add(1) * 0x9E37u))) {}

EchoProbe EchoProbe::Open() {
    for (EchoMethod m : {EchoMethod::Datagram, EchoMethod::Raw}) {
        if (auto probe = Open(m)) {
            return std::move(*probe);
        }
    }
    return EchoProbe(EchoMethod::TcpConnect, UniqueFd());
}

std::optional<EchoProbe> EchoProbe::Open(EchoMethod method) {
    switch (method) {
        case EchoMethod::Datagram:
        case EchoMethod::Raw: {
            // The kernel itself checks ping_group_range (datagram) and
            // CAP_NET_RAW (raw) here, in the caller's network namespace.
            const int type = method == EchoMethod::Datagram ? SOCK_DGRAM : SOCK_RAW;
            UniqueFd fd(::socket(AF_INET, type | SOCK_CLOEXEC, IPPROTO_ICMP));
            if (!fd) {
                return std::nullopt;
            }
            return EchoProbe(method, std::move(fd));
        }
        case EchoMethod::TcpConnect:
            return EchoProbe(method, UniqueFd());
    }
    return std::nullopt;
}

bool EchoProbe::Echo(const in_addr& target, std::chrono::milliseconds timeout) {
    if (method_ == EchoMethod::TcpConnect) {
        return KnockTcp(target, timeout);
    }
    return EchoIcmp(target, timeout);
}

bool EchoProbe::EchoIcmp(const in_addr& target, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    const std::uint16_t sequence = nextSequence.fetch_add(1);
    // A datagram socket puts its own identifier (the socket's port) into the
    // request and hands back only the replies that carry it.
    const bool datagram = method_ == EchoMethod::Datagram;
    const auto request = EchoRequest(identifier_, sequence);

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr = target;
    for (;;) {
        const ssize_t n = ::sendto(socket_.get(), request.data(), request.size(), 0,
                                   reinterpret_cast<const sockaddr*>(&to), sizeof to);
        if (n == static_cast<ssize_t>(request.size())) {
            break;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return false;  // no route, filtered, or no buffer: no reply can come
    }

    std::array<unsigned char, 1500> reply{};
    while (WaitFor(socket_.get(), POLLIN, deadline)) {
        sockaddr_in from{};
        socklen_t fromLen = sizeof from;
        const ssize_t got = ::recvfrom(socket_.get(), reply.data(), reply.size(), MSG_DONTWAIT,
                                       reinterpret_cast<sockaddr*>(&from), &fromLen);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) {
                continue;
            }
            return false;
        }
        std::size_t offset = 0;
        if (!datagram) {
            // A raw socket delivers the IP header too, and every ICMP message
            // of the host: on loopback that includes our own request.
            if (static_cast<std::size_t>(got) < kMinIpHeaderSize) {
                continue;
            }
            offset = static_cast<std::size_t>(reply[0] & 0x0F) * 4;
        }
        if (static_cast<std::size_t>(got) < offset + kEchoHeaderSize) {
            continue;
        }
        const unsigned char* icmp = reply.data() + offset;
        if (icmp[0] != ICMP_ECHOREPLY || icmp[1] != 0 || U16(icmp + 6) != sequence ||
            (!datagram && U16(icmp + 4) != identifier_) || from.sin_addr.s_addr != target.s_addr) {
            continue;
        }
        return true;
    }
    return false;
}

bool EchoProbe::KnockTcp(const in_addr& target, std::chrono::milliseconds timeout) const {
    const auto deadline = Clock::now() + timeout;
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP));
    if (!fd) {
        return false;
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(kFallbackPort);
    to.sin_addr = target;
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0) {
        return true;
    }
    if (errno == ECONNREFUSED) {
        return true;  // the host answered, with a reset
    }
    if (errno != EINPROGRESS && errno != EINTR) {
        return false;
    }
    if (!WaitFor(fd.get(), POLLOUT, deadline)) {
        return false;
    }
    int error = 0;
    socklen_t len = sizeof error;
    if (::getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &error, &len) != 0) {
        return false;
    }
    return error == 0 || error == ECONNREFUSED;
}

}  // namespace KpBidi::communications::linux
