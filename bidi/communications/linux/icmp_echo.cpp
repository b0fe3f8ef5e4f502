#include "bidi/communications/linux/icmp_echo.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>

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

// What the echo program's exit status says.
enum class HelperAnswer { Present, Absent, NoAnswer };

// How long past its own time-out the echo program may take to start and end
// before it is killed.
constexpr std::chrono::milliseconds kHelperGrace{500};

// Runs the echo program with nothing but the address and the time-out: an
// empty environment, standard streams on /dev/null, no other descriptor.
// NoAnswer covers a program that is missing, lacks the capability, refuses
// or fails; the caller then tries another way.
HelperAnswer RunHelper(const std::string& helper, const in_addr& target,
                       std::chrono::milliseconds timeout) {
    std::array<char, INET_ADDRSTRLEN> address{};
    if (::inet_ntop(AF_INET, &target, address.data(), address.size()) == nullptr) {
        return HelperAnswer::NoAnswer;
    }
    const auto bounded =
        std::clamp(timeout, std::chrono::milliseconds(1), EchoProbe::kMaxHelperTimeout);
    std::string program = helper;
    std::string milliseconds = std::to_string(bounded.count());
    char* argv[] = {program.data(), address.data(), milliseconds.data(), nullptr};
    char* envp[] = {nullptr};

    posix_spawn_file_actions_t actions;
    if (::posix_spawn_file_actions_init(&actions) != 0) {
        return HelperAnswer::NoAnswer;
    }
    int prepared = 0;
    for (int fd = 0; fd <= 2 && prepared == 0; ++fd) {
        prepared = ::posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", O_RDWR, 0);
    }
    if (prepared == 0) {
        prepared = ::posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    }
    pid_t pid = -1;
    const int spawned = prepared != 0
                            ? prepared
                            : ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp);
    ::posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return HelperAnswer::NoAnswer;
    }

    // Waited for on a process descriptor, so that a program that hangs is
    // killed when its time is up.
    const UniqueFd process(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
    if (process) {
        const auto deadline = Clock::now() + bounded + kHelperGrace;
        if (!WaitFor(process.get(), POLLIN, deadline)) {
            ::kill(pid, SIGKILL);
        }
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return HelperAnswer::NoAnswer;
        }
    }
    if (!WIFEXITED(status)) {
        return HelperAnswer::NoAnswer;
    }
    switch (WEXITSTATUS(status)) {
        case 0:
            return HelperAnswer::Present;
        case 1:
            return HelperAnswer::Absent;
        default:
            return HelperAnswer::NoAnswer;
    }
}

}  // namespace

const char* InstalledEchoHelper() noexcept {
    return KPBIDI_ECHO_HELPER;
}

EchoProbe::EchoProbe(EchoMethod method, UniqueFd socket, std::string helper)
    : method_(method),
      socket_(std::move(socket)),
      identifier_(static_cast<std::uint16_t>(static_cast<unsigned>(::getpid()) ^
                                             (nextIdentifier.fetch_add(1) * 0x9E37u))),
      helper_(std::move(helper)) {}

EchoProbe EchoProbe::Open(const std::string& helper) {
    for (EchoMethod m : {EchoMethod::Datagram, EchoMethod::Raw, EchoMethod::Helper}) {
        if (auto probe = Open(m, helper)) {
            return std::move(*probe);
        }
    }
    return EchoProbe(EchoMethod::TcpConnect, UniqueFd());
}

std::optional<EchoProbe> EchoProbe::Open(EchoMethod method, const std::string& helper) {
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
        case EchoMethod::Helper:
            if (helper.empty() || helper[0] != '/' || ::access(helper.c_str(), X_OK) != 0) {
                return std::nullopt;
            }
            return EchoProbe(method, UniqueFd(), helper);
        case EchoMethod::TcpConnect:
            return EchoProbe(method, UniqueFd());
    }
    return std::nullopt;
}

bool EchoProbe::Echo(const in_addr& target, std::chrono::milliseconds timeout) {
    switch (method_) {
        case EchoMethod::TcpConnect:
            return KnockTcp(target, timeout);
        case EchoMethod::Helper:
            return AskHelper(target, timeout);
        case EchoMethod::Datagram:
        case EchoMethod::Raw:
            break;
    }
    return EchoIcmp(target, timeout);
}

bool EchoProbe::AskHelper(const in_addr& target, std::chrono::milliseconds timeout) const {
    const auto deadline = Clock::now() + timeout;
    switch (RunHelper(helper_, target, timeout)) {
        case HelperAnswer::Present:
            return true;
        case HelperAnswer::Absent:
            return false;
        case HelperAnswer::NoAnswer:
            break;
    }
    // No capability (a copy without it, a file system without file
    // capabilities) or no program: the stand-in with the time left.
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return KnockTcp(target, std::max(left, std::chrono::milliseconds(1)));
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
