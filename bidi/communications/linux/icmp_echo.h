// One ICMP echo request and its reply: the reachability test made before
// every exchange with a networked printer.
#pragma once

#include <netinet/in.h>

#include <chrono>
#include <cstdint>
#include <optional>

#include "bidi/communications/linux/unique_fd.h"

namespace KpBidi::communications::linux {

enum class EchoMethod {
    // ICMP datagram ("ping") socket: allowed to the groups in
    // /proc/sys/net/ipv4/ping_group_range, no privilege needed.
    Datagram,
    // Raw ICMP socket: root or CAP_NET_RAW.
    Raw,
    // Neither permitted: a TCP connect to the printer's command port stands
    // in. A host that accepts or refuses the connection within the time-out
    // is up, which is what an echo reply says of a printer.
    TcpConnect,
};

class EchoProbe {
public:
    // Where TcpConnect knocks: the printer's command port.
    static constexpr std::uint16_t kFallbackPort = 48000;

    // The best method this process is allowed: datagram, raw, then TCP.
    static EchoProbe Open();
    // Exactly `method`, or nothing when the system does not permit it.
    static std::optional<EchoProbe> Open(EchoMethod method);

    // Sends one echo request without payload to `target` and waits at most
    // `timeout` for its reply. Replies to other requests are ignored.
    bool Echo(const in_addr& target, std::chrono::milliseconds timeout);

    EchoMethod method() const noexcept { return method_; }

private:
    EchoProbe(EchoMethod method, UniqueFd socket);

    bool EchoIcmp(const in_addr& target, std::chrono::milliseconds timeout);
    bool KnockTcp(const in_addr& target, std::chrono::milliseconds timeout) const;

    EchoMethod method_;
    UniqueFd socket_;
    std::uint16_t identifier_;
};

}  // namespace KpBidi::communications::linux
