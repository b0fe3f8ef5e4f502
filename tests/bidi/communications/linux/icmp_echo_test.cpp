#include "bidi/communications/linux/icmp_echo.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "bidi/capi/error.h"
#include "bidi/communications/linux/network_connector.h"
#include "tests/support/another_user.h"
#include "tests/support/net_namespace.h"
#include "tests/support/process.h"
#include "tools/printer-sim/loopback.h"

namespace {

using KpBidi::communications::linux::EchoMethod;
using KpBidi::communications::linux::EchoProbe;
using KpBidi::communications::linux::NetworkConnector;
using Clock = std::chrono::steady_clock;

in_addr Ipv4(const std::string& text) {
    in_addr a{};
    EXPECT_EQ(::inet_pton(AF_INET, text.c_str(), &a), 1) << text;
    return a;
}

TEST(EchoProbe, LoopbackAnswersEveryMethodThisProcessMayUse) {
    const std::string address = kpm::sim::RandomLoopbackAddress();
    EXPECT_TRUE(EchoProbe::Open().Echo(Ipv4(address), std::chrono::milliseconds(100)));
    int usable = 0;
    for (EchoMethod m : {EchoMethod::Datagram, EchoMethod::Raw, EchoMethod::TcpConnect}) {
        if (auto probe = EchoProbe::Open(m)) {
            ++usable;
            EXPECT_EQ(probe->method(), m);
            EXPECT_TRUE(probe->Echo(Ipv4(address), std::chrono::milliseconds(100)))
                << static_cast<int>(m);
            // The same probe serves several addresses one after another.
            EXPECT_TRUE(probe->Echo(Ipv4("127.0.0.1"), std::chrono::milliseconds(100)))
                << static_cast<int>(m);
        }
    }
    // Tests run as root: besides the TCP stand-in, at least raw ICMP works.
    EXPECT_GE(usable, 2);
}

TEST(NetworkConnector, IsAvailableByResolutionOutcome) {
    EXPECT_TRUE(NetworkConnector(kpm::sim::RandomLoopbackAddress()).IsAvailable());
    EXPECT_TRUE(NetworkConnector("localhost").IsAvailable());

    // Only IPv6 addresses: none is echoed, so the answer is false, at once.
    const auto start = Clock::now();
    EXPECT_FALSE(NetworkConnector("::1").IsAvailable());
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(100));

    // A name that does not resolve is an error, not a false.
    try {
        NetworkConnector("no-such-printer.invalid").IsAvailable();
        ADD_FAILURE() << "an unresolvable name answered";
    } catch (const KpBidi::Error& e) {
        EXPECT_EQ(e.code, KpBidi::CommunicationError);
        EXPECT_STREQ(e.message, "Address::GetAddressInfo: name resolution is failed");
    }
}

// kpbidi_echo_probe inside `ns`: 0 answered, 1 silent, 2 method not
// permitted. `waited` is how long it took.
int Probe(kpm::test::NetNamespace& ns, const std::string& method, const std::string& host,
          Clock::duration* waited = nullptr) {
    const auto start = Clock::now();
    const int rc = ns.Exec({KPBIDI_ECHO_PROBE, method, host});
    if (waited != nullptr) {
        *waited = Clock::now() - start;
    }
    return rc;
}

TEST(EchoInNamespace, HostIgnoringEchoesIsNotAvailable) {
    kpm::test::NetNamespace ns;
    ASSERT_TRUE(ns.ok());
    ns.Sysctl("net.ipv4.icmp_echo_ignore_all=1");
    ns.Sysctl("net.ipv4.ping_group_range=0 2147483647");
    for (const char* method : {"auto", "datagram", "raw"}) {
        Clock::duration waited{};
        EXPECT_EQ(Probe(ns, method, "127.0.0.1", &waited), 1) << method;
        // The whole 100 ms are waited for, and not much more (the time
        // includes starting the probe program in the namespace).
        EXPECT_GE(waited, std::chrono::milliseconds(100)) << method;
        EXPECT_LT(waited, std::chrono::milliseconds(2000)) << method;
    }
}

TEST(EchoInNamespace, DatagramSocketWhereThePingGroupsAllowItElseRaw) {
    kpm::test::NetNamespace ns;
    ASSERT_TRUE(ns.ok());
    ns.Sysctl("net.ipv4.ping_group_range=0 2147483647");
    EXPECT_EQ(Probe(ns, "datagram", "127.0.0.1"), 0);
    EXPECT_EQ(Probe(ns, "auto", "127.0.0.1"), 0);

    ns.Sysctl("net.ipv4.ping_group_range=1 0");  // nobody
    EXPECT_EQ(Probe(ns, "datagram", "127.0.0.1"), 2);
    EXPECT_EQ(Probe(ns, "raw", "127.0.0.1"), 0);
    EXPECT_EQ(Probe(ns, "auto", "127.0.0.1"), 0);
}

TEST(EchoInNamespace, TcpStandInTellsAHostThatIsUpFromNone) {
    kpm::test::NetNamespace ns;
    ASSERT_TRUE(ns.ok());
    ns.Sysctl("net.ipv4.icmp_echo_ignore_all=1");
    // Up, with nothing listening on the printer's port: refused, yet up.
    EXPECT_EQ(Probe(ns, "tcp", "127.0.0.1"), 0);
    // No route inside the namespace: nobody there.
    EXPECT_EQ(Probe(ns, "tcp", "10.255.255.1"), 1);
    EXPECT_EQ(Probe(ns, "raw", "10.255.255.1"), 1);
}

// The echo program's arguments: nothing but one unicast IPv4 address in
// dotted decimal and a time-out of 1 to 10000 ms; anything else is refused
// (status 2) before a packet is sent.
TEST(EchoProgram, RefusesEverythingButAnAddressAndATimeOut) {
    const std::vector<std::vector<std::string>> refused = {
        {},
        {"127.0.0.1"},
        {"127.0.0.1", "100", "extra"},
        {"127.0.0.1", "0"},
        {"127.0.0.1", "10001"},
        {"127.0.0.1", "-5"},
        {"127.0.0.1", "100ms"},
        {"127.0.0.1", " 100"},
        {"127.0.0.1", "0x64"},
        {"127.0.0.1", ""},
        {"localhost", "100"},
        {"127.1", "100"},
        {"127.0.0.01", "100"},
        {" 127.0.0.1", "100"},
        {"127.0.0.1\n", "100"},
        {"::1", "100"},
        {"0.0.0.0", "100"},
        {"255.255.255.255", "100"},
        {"224.0.0.1", "100"},
        {"--help", "100"},
    };
    for (const auto& args : refused) {
        std::vector<std::string> command{KPM_ECHO_PROGRAM};
        command.insert(command.end(), args.begin(), args.end());
        EXPECT_EQ(kpm::test::RunProcess(command), 2)
            << (args.empty() ? "(none)" : args[0] + " " + (args.size() > 1 ? args[1] : ""));
    }
}

// Where no ping socket is allowed (the kernel's default range "1 0"),
// another user (nobody) has no ICMP socket of its own: the echo goes
// through the echo program, which holds CAP_NET_RAW as the package gives it.
// Echoes ignored make the difference from the TCP stand-in, which would
// call the host up (its port refuses). Without the capability the stand-in
// answers.
TEST(EchoInNamespace, AnotherUserEchoesThroughTheEchoProgramWhereNoPingSocketIsAllowed) {
    const std::string setcap = kpm::test::FindProgram("setcap");
    ASSERT_FALSE(setcap.empty()) << "the setcap program (libcap2-bin) is missing";
    const kpm::test::CopiesForAnotherUser copies({KPBIDI_ECHO_PROBE, KPM_ECHO_PROGRAM});
    ASSERT_TRUE(copies.ok());
    const std::string probe = copies.Path(KPBIDI_ECHO_PROBE);
    const std::string helper = copies.Path(KPM_ECHO_PROGRAM);
    ASSERT_EQ(kpm::test::RunProcess({setcap, "cap_net_raw+ep", helper}), 0)
        << "setcap on " << helper << " (a file system without capabilities?)";
    kpm::test::NetNamespace ns;
    ASSERT_TRUE(ns.ok());
    ns.Sysctl("net.ipv4.ping_group_range=1 0");
    const auto asNobody = [&](const std::string& method, const std::string& host) {
        return ns.Exec(copies.AsUser({probe, method, host, helper}));
    };
    EXPECT_EQ(asNobody("datagram", "127.0.0.1"), 2);
    EXPECT_EQ(asNobody("raw", "127.0.0.1"), 2);
    EXPECT_EQ(asNobody("auto", "127.0.0.1"), 0);  // present
    EXPECT_EQ(asNobody("helper", "127.0.0.1"), 0);
    ns.Sysctl("net.ipv4.icmp_echo_ignore_all=1");
    EXPECT_EQ(asNobody("auto", "127.0.0.1"), 1);  // absent: the stand-in would say 0
    EXPECT_EQ(asNobody("tcp", "127.0.0.1"), 0);

    ASSERT_EQ(kpm::test::RunProcess({setcap, "-r", helper}), 0);
    EXPECT_EQ(ns.Exec(copies.AsUser({helper, "127.0.0.1", "100"})), 3);  // no raw socket
    EXPECT_EQ(asNobody("auto", "127.0.0.1"), 0);                         // the stand-in
}

}  // namespace
