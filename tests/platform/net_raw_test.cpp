// Capabilities given to kpm-wizard or kpbidi by hand are dropped before
// anything the user's environment names is loaded. Tried on a probe with
// CAP_NET_RAW as a file capability, run as nobody where no ping socket is
// allowed. Needs root.
#include "platform/net_raw.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/another_user.h"
#include "tests/support/process.h"

namespace {

bool RawSocketOpens() {
    const int fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

TEST(NetRaw, PrivilegesGainedAtStartAreDroppedAndRootKeepsItsOwn) {
    ASSERT_EQ(::geteuid(), 0u) << "giving a program a file capability needs root";
    // Root started by root gained nothing: it keeps the raw socket.
    EXPECT_FALSE(platform::StartedWithGainedPrivileges());
    EXPECT_FALSE(platform::DropPrivilegesGainedAtStart());
    EXPECT_TRUE(RawSocketOpens());

    const std::string setcap = kpm::test::FindProgram("setcap");
    const std::string ip = kpm::test::FindProgram("ip");
    ASSERT_FALSE(setcap.empty()) << "the setcap program (libcap2-bin) is missing";
    ASSERT_FALSE(ip.empty()) << "the ip program (iproute2) is missing";
    const kpm::test::CopiesForAnotherUser copies({KPM_PRIVILEGES_PROBE});
    ASSERT_TRUE(copies.ok());
    const std::string probe = copies.Path(KPM_PRIVILEGES_PROBE);
    ASSERT_EQ(kpm::test::RunProcess({setcap, "cap_net_raw+ep", probe}), 0)
        << "setcap on " << probe << " (a file system without capabilities?)";

    static std::atomic<int> counter{0};
    const std::string ns =
        "kpm-net-raw-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    ASSERT_EQ(kpm::test::RunProcess({ip, "netns", "add", ns}), 0) << "ip netns add " << ns;
    EXPECT_EQ(kpm::test::RunProcess(
                  {ip, "netns", "exec", ns, "sysctl", "-q", "-w", "net.ipv4.ping_group_range=1 0"}),
              0);
    const auto run = [&](const char* mode) {
        return kpm::test::RunProcess(
            {ip, "netns", "exec", ns, "/usr/sbin/runuser", "-u", "nobody", "--", probe, mode});
    };
    EXPECT_EQ(run("keep"), 1) << "the copy's capability does not take effect";
    EXPECT_EQ(run("drop"), 0);
    kpm::test::RunProcess({ip, "netns", "del", ns});
}

}  // namespace
