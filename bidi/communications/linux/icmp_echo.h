// One ICMP echo request and its reply: the reachability test made before
// every exchange with a networked printer.
#pragma once

#include <netinet/in.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "bidi/communications/linux/unique_fd.h"

namespace KpBidi::communications::linux {

enum class EchoMethod {
    // ICMP datagram ("ping") socket: allowed to the groups in
    // /proc/sys/net/ipv4/ping_group_range, no privilege needed.
    Datagram,
    // Raw ICMP socket: root or CAP_NET_RAW.
    Raw,
    // Neither permitted: the echo program kpm-echo, which holds CAP_NET_RAW
    // as ping does, so that the programs linking this library need none
    // (they load code that the user's environment names). Where it is
    // missing, or lacks the capability, the TCP stand-in answers instead.
    Helper,
    // Nothing else: a TCP connect to the printer's command port stands in.
    // A host that accepts or refuses the connection within the time-out is
    // up, which is what an echo reply says of a printer.
    TcpConnect,
};

// Where the echo program is: fixed when the library is built (the installed
// path; in a development build the program in the build tree). Never looked
// up on PATH nor taken from the environment.
const char* InstalledEchoHelper() noexcept;

class EchoProbe {
public:
    // Where TcpConnect knocks: the printer's command port.
    static constexpr std::uint16_t kFallbackPort = 48000;

    // The longest time-out the echo program takes.
    static constexpr std::chrono::milliseconds kMaxHelperTimeout{10000};

    // The best method this process is allowed: datagram, raw, the echo
    // program `helper` when it is there, then TCP.
    static EchoProbe Open(const std::string& helper = InstalledEchoHelper());
    // Exactly `method`, or nothing when the system does not permit it (for
    // Helper: when `helper` is not an executable file).
    static std::optional<EchoProbe> Open(EchoMethod method,
                                         const std::string& helper = InstalledEchoHelper());

    // Sends one echo request without payload to `target` and waits at most
    // `timeout` for its reply. Replies to other requests are ignored.
    bool Echo(const in_addr& target, std::chrono::milliseconds timeout);

    EchoMethod method() const noexcept { return method_; }

private:
    EchoProbe(EchoMethod method, UniqueFd socket, std::string helper = {});

    bool EchoIcmp(const in_addr& target, std::chrono::milliseconds timeout);
    bool AskHelper(const in_addr& target, std::chrono::milliseconds timeout) const;
    bool KnockTcp(const in_addr& target, std::chrono::milliseconds timeout) const;

    EchoMethod method_;
    UniqueFd socket_;
    std::uint16_t identifier_;
    std::string helper_;
};

}  // namespace KpBidi::communications::linux
