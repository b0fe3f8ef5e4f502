// Giving up CAP_NET_RAW: each case runs in a child process of its own (in a
// network namespace of its own where it sets the ping group range), since a
// capability dropped is gone for the whole process. Needs root, as the echo
// tests do.
#include "platform/net_raw.h"

#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include <gtest/gtest.h>

namespace {

bool RawSocketOpens() {
    const int fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

// Runs `body` in a child with a network namespace of its own and the ping
// group range `range`; the child's exit status is body's result (0 passes).
int InChild(const char* range, const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::unshare(CLONE_NEWNET) != 0) {
            ::_exit(90);
        }
        std::ofstream("/proc/sys/net/ipv4/ping_group_range") << range << '\n';
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

class NetRawTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(RawSocketOpens())
            << "these tests need root or CAP_NET_RAW: a raw ICMP socket is refused here";
    }
};

TEST_F(NetRawTest, DroppedCapabilityRefusesRawSocketsAndDroppingTwiceIsHarmless) {
    EXPECT_EQ(
        InChild("1 0",
                [] {
                    if (platform::DropNetRawCapability() || platform::DropNetRawCapability()) {
                        return 1;
                    }
                    return RawSocketOpens() ? 2 : 0;
                }),
        0);
}

TEST_F(NetRawTest, KeptOnlyWhereNoPingSocketIsAllowed) {
    struct Case {
        const char* range;
        bool pingAllowed;
        bool rawAfterwards;
    };
    const Case cases[] = {
        {"1 0", false, true},           // no group may: the raw socket is needed
        {"0 2147483647", true, false},  // every group may: the capability goes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.range);
        EXPECT_EQ(InChild(c.range,
                          [&] {
                              if (platform::PingSocketAllowed() != c.pingAllowed) {
                                  return 1;
                              }
                              if (platform::DropNetRawCapabilityUnlessNeeded()) {
                                  return 2;
                              }
                              return RawSocketOpens() == c.rawAfterwards ? 0 : 3;
                          }),
                  0);
    }
}

}  // namespace
