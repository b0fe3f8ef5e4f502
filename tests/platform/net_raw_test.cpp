// Capabilities given to kpm-wizard or kpbidi by hand are dropped before
// anything the user's environment names is loaded. Tried on a probe with
// CAP_NET_RAW as a file capability, run as nobody where no ping socket is
// allowed. Needs root.
#include "platform/net_raw.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "tests/support/another_user.h"
#include "tests/support/net_namespace.h"
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
    ASSERT_FALSE(setcap.empty()) << "the setcap program (libcap2-bin) is missing";
    const kpm::test::CopiesForAnotherUser copies({KPM_PRIVILEGES_PROBE});
    ASSERT_TRUE(copies.ok());
    const std::string probe = copies.Path(KPM_PRIVILEGES_PROBE);
    ASSERT_EQ(kpm::test::RunProcess({setcap, "cap_net_raw+ep", probe}), 0)
        << "setcap on " << probe << " (a file system without capabilities?)";

    kpm::test::NetNamespace ns;
    ASSERT_TRUE(ns.ok());
    ns.Sysctl("net.ipv4.ping_group_range=1 0");
    EXPECT_EQ(ns.Exec(copies.AsUser({probe, "keep"})), 1)
        << "the copy's capability does not take effect";
    EXPECT_EQ(ns.Exec(copies.AsUser({probe, "drop"})), 0);
}

}  // namespace
