// A network namespace of the test's own, with only a loopback interface:
// whatever is sent inside never leaves this machine. Removed again on
// destruction, also when the test fails. Needs root.
#pragma once

#include <unistd.h>

#include <atomic>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/process.h"

namespace kpm::test {

class NetNamespace {
public:
    NetNamespace() {
        static std::atomic<int> counter{0};
        name_ = "kpm-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        ip_ = FindProgram("ip");
        if (ip_.empty()) {
            ADD_FAILURE() << "the ip program (iproute2) is missing";
            return;
        }
        created_ = RunProcess({ip_, "netns", "add", name_}) == 0;
        if (!created_) {
            ADD_FAILURE() << "ip netns add " << name_ << " failed (needs root)";
            return;
        }
        EXPECT_EQ(Exec({ip_, "link", "set", "lo", "up"}), 0);
    }
    ~NetNamespace() {
        if (created_) {
            RunProcess({ip_, "netns", "del", name_});
        }
    }
    NetNamespace(const NetNamespace&) = delete;
    NetNamespace& operator=(const NetNamespace&) = delete;

    bool ok() const { return created_; }

    void Sysctl(const std::string& setting) {
        const std::string sysctl = FindProgram("sysctl");
        ASSERT_FALSE(sysctl.empty()) << "the sysctl program (procps) is missing";
        ASSERT_EQ(Exec({sysctl, "-q", "-w", setting}), 0) << setting;
    }

    // Runs a program inside the namespace; its exit status.
    int Exec(std::vector<std::string> args) {
        args.insert(args.begin(), {ip_, "netns", "exec", name_});
        return RunProcess(std::move(args));
    }

private:
    std::string name_;
    std::string ip_;
    bool created_ = false;
};

}  // namespace kpm::test
