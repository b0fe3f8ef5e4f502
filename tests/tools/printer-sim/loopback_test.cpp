#include "tools/printer-sim/loopback.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <set>

#include "tools/printer-sim/socket.h"

namespace {

using namespace kpm::sim;

TEST(Loopback, RandomAddressesAreLoopbackAndAvoidTheHostsOwn) {
    std::set<std::string> seen;
    for (int i = 0; i < 2000; ++i) {
        const std::string a = RandomLoopbackAddress();
        in_addr parsed{};
        ASSERT_EQ(inet_pton(AF_INET, a.c_str(), &parsed), 1) << a;
        const std::uint32_t v = ntohl(parsed.s_addr);
        EXPECT_EQ(v >> 24, 127u) << a;
        EXPECT_NE(v & 0xFF, 0u) << a;
        EXPECT_NE(v & 0xFF, 255u) << a;
        EXPECT_NE(a, "127.0.0.1");
        EXPECT_NE(a, "127.0.1.1");
        seen.insert(a);
    }
    EXPECT_GT(seen.size(), 1990u);  // 16 million choices: repeats are rare
}

TEST(Loopback, PortsInUseAreSeenAndSkipped) {
    const std::string address = PickFreeLoopbackAddress({48000});
    UniqueFd taken = ListenTcp(address, 48000);
    EXPECT_FALSE(LoopbackPortsFree(address, {48000}));
    EXPECT_TRUE(LoopbackPortsFree(address, {48001}, {161}));
}

TEST(Loopback, StartIsRetriedOnAddressInUseOnly) {
    int calls = 0;
    const std::string chosen = WithFreeLoopbackAddress([&](const std::string& address) {
        if (++calls < 3) {
            throw std::system_error(std::make_error_code(std::errc::address_in_use), "taken");
        }
        return address;
    });
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(chosen.rfind("127.", 0), 0u);

    calls = 0;
    EXPECT_THROW(WithFreeLoopbackAddress([&](const std::string&) -> int {
                     ++calls;
                     throw std::system_error(std::make_error_code(std::errc::permission_denied),
                                             "no");
                 }),
                 std::system_error);
    EXPECT_EQ(calls, 1);
}

}  // namespace
