// A real snmpd serving a test on a random loopback address (UDP port 161,
// where the library sends its queries), with configuration, persistent
// state and log in a folder of its own under the build folder. No MIB
// modules are loaded (MIBS is empty) and nothing of the machine's own SNMP
// configuration is read.
#pragma once

#include <arpa/inet.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/loopback_address.h"
#include "tests/support/process.h"

#ifndef KPM_TEST_STATE_DIR
#error "KPM_TEST_STATE_DIR must name a folder under the build folder"
#endif

namespace kpm::test {

class SnmpdAgent {
public:
    // `config`: snmpd.conf lines (communities, override lines); the agent
    // address is added here. Throws std::runtime_error when snmpd is missing
    // or does not come up.
    explicit SnmpdAgent(const std::vector<std::string>& config) {
        const std::string snmpd = FindProgram("snmpd");
        if (snmpd.empty()) {
            throw std::runtime_error("snmpd is not installed (scripts/install-deps installs it)");
        }
        std::string lastLog;
        for (int attempt = 0; attempt < 20; ++attempt) {
            address_ = RandomLoopbackAddress();
            dir_ = std::filesystem::path(KPM_TEST_STATE_DIR) /
                   ("snmpd-" + address_ + "-" + std::to_string(::getpid()));
            std::filesystem::remove_all(dir_);
            std::filesystem::create_directories(dir_ / "persist");
            {
                std::ofstream conf(dir_ / "snmpd.conf");
                conf << "agentaddress udp:" << address_ << ":161\n";
                for (const std::string& line : config) {
                    conf << line << "\n";
                }
            }
            const std::string persist = "SNMP_PERSISTENT_DIR=" + (dir_ / "persist").string();
            const std::string home = "HOME=" + dir_.string();
            std::vector<std::string> envStrings{"MIBS=", persist, home, "PATH=/usr/bin:/bin"};
            std::vector<char*> env = ArgvOf(envStrings);
            pid_ = StartProcess({snmpd, "-f", "-C", "-c", (dir_ / "snmpd.conf").string(), "-Lf",
                                 (dir_ / "snmpd.log").string()},
                                env.data());
            if (pid_ < 0) {
                throw std::runtime_error("cannot start " + snmpd);
            }
            if (WaitUntilListening()) {
                return;
            }
            lastLog = Log();
            Stop();
            if (lastLog.find("in use") == std::string::npos) {
                break;  // not a clash of addresses: trying again will not help
            }
        }
        throw std::runtime_error("snmpd did not come up:\n" + lastLog);
    }

    ~SnmpdAgent() {
        Stop();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    SnmpdAgent(const SnmpdAgent&) = delete;
    SnmpdAgent& operator=(const SnmpdAgent&) = delete;

    const std::string& address() const { return address_; }
    const std::filesystem::path& folder() const { return dir_; }

    std::string Log() const {
        std::ifstream in(dir_ / "snmpd.log");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

private:
    // snmpd binds its agent address after reading its configuration; the
    // socket showing up in /proc/net/udp means it serves.
    bool WaitUntilListening() {
        in_addr a{};
        ::inet_pton(AF_INET, address_.c_str(), &a);
        char local[32];
        std::snprintf(local, sizeof local, "%08X:00A1", a.s_addr);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return false;
            }
            std::ifstream udp("/proc/net/udp");
            std::string line;
            while (std::getline(udp, line)) {
                if (line.find(local) != std::string::npos) {
                    return true;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    void Stop() {
        if (pid_ <= 0) {
            return;
        }
        ::kill(pid_, SIGTERM);
        for (int i = 0; i < 400; ++i) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ::kill(pid_, SIGKILL);
        WaitProcess(pid_);
        pid_ = -1;
    }

    std::string address_;
    std::filesystem::path dir_;
    pid_t pid_ = -1;
};

}  // namespace kpm::test
