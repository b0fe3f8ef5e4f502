#include "tests/support/lan_testbed.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/support/process.h"

namespace kpm::test {
namespace {

// `args` run inside namespace `ns` with `env` added to the environment.
std::vector<std::string> Inside(const std::string& ip, const std::string& ns,
                                std::vector<std::string> args,
                                const std::vector<std::string>& env) {
    std::vector<std::string> argv{ip, "netns", "exec", ns};
    if (!env.empty()) {
        argv.push_back(FindProgram("env"));
        argv.insert(argv.end(), env.begin(), env.end());
    }
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

}  // namespace

LanTestbed::LanTestbed() {
    static std::atomic<int> counter{0};
    const int n = counter++;
    const std::string tag = "kpm-lan-" + std::to_string(::getpid()) + "-" + std::to_string(n);
    // The namespaces see no other network, so any private prefix would do;
    // a varying one makes a mix-up between two testbeds show.
    prefix_ = "10." + std::to_string(20 + ::getpid() % 200) + "." + std::to_string(n % 250) + ".";
    ip_ = FindProgram("ip");
    if (ip_.empty()) {
        ADD_FAILURE() << "the ip program is missing: install the Debian package iproute2";
        return;
    }
    client_ = tag + "-c";
    clientAddress_ = prefix_ + "1";
    if (!Ip({"netns", "add", client_})) {
        ADD_FAILURE() << "ip netns add " << client_ << " failed (these tests need root)";
        return;
    }
    namespaces_.push_back(client_);
    ok_ = Ip({"-n", client_, "link", "set", "lo", "up"}) &&
          Ip({"-n", client_, "link", "add", "br0", "type", "bridge"}) &&
          Ip({"-n", client_, "addr", "add", clientAddress_ + "/24", "brd", "+", "dev", "br0"}) &&
          Ip({"-n", client_, "link", "set", "br0", "up"});
}

LanTestbed::~LanTestbed() {
    for (const pid_t pid : started_) {
        ::kill(pid, SIGTERM);
    }
    for (const pid_t pid : started_) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        int status = 0;
        while (::waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    for (const std::string& ns : namespaces_) {
        Ip({"netns", "del", ns});
    }
}

bool LanTestbed::Ip(const std::vector<std::string>& args) {
    std::vector<std::string> argv{ip_};
    argv.insert(argv.end(), args.begin(), args.end());
    const CommandResult r = RunCommand(argv);
    if (r.exitStatus != 0) {
        std::string line;
        for (const std::string& a : argv) {
            line += a + " ";
        }
        ADD_FAILURE() << line << "failed: " << r.output;
    }
    return r.exitStatus == 0;
}

std::string LanTestbed::AddHost() {
    if (!ok_) {
        return {};
    }
    const std::size_t index = hosts_.size() + 1;
    const std::string ns = client_ + "-h" + std::to_string(index);
    const std::string address = prefix_ + std::to_string(10 + index);
    const std::string port = "v" + std::to_string(index);
    if (!Ip({"netns", "add", ns})) {
        return {};
    }
    namespaces_.push_back(ns);
    const bool up = Ip({"-n", ns, "link", "set", "lo", "up"}) &&
                    Ip({"-n", client_, "link", "add", port, "type", "veth", "peer", "name", "eth0",
                        "netns", ns}) &&
                    Ip({"-n", client_, "link", "set", port, "master", "br0"}) &&
                    Ip({"-n", client_, "link", "set", port, "up"}) &&
                    Ip({"-n", ns, "addr", "add", address + "/24", "brd", "+", "dev", "eth0"}) &&
                    Ip({"-n", ns, "link", "set", "eth0", "up"});
    if (!up) {
        return {};
    }
    hosts_.push_back(address);
    return address;
}

std::string LanTestbed::NamespaceOf(const std::string& address) const {
    for (std::size_t i = 0; i < hosts_.size(); ++i) {
        if (hosts_[i] == address) {
            return client_ + "-h" + std::to_string(i + 1);
        }
    }
    return client_;
}

CommandResult LanTestbed::Run(const std::string& ns, std::vector<std::string> args,
                              const std::vector<std::string>& env) {
    return RunCommand(Inside(ip_, ns, std::move(args), env));
}

pid_t LanTestbed::Start(const std::string& ns, std::vector<std::string> args,
                        const std::string& log, const std::vector<std::string>& env) {
    const std::string program = args.empty() ? "" : args[0];
    const pid_t pid = StartProcess(Inside(ip_, ns, std::move(args), env), nullptr, log.c_str());
    if (pid < 0) {
        ADD_FAILURE() << "cannot start " << program << " in " << ns;
    } else {
        started_.push_back(pid);
    }
    return pid;
}

}  // namespace kpm::test
