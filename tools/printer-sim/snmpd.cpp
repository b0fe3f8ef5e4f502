#include "tools/printer-sim/snmpd.h"

#include "tools/printer-sim/replace_file.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

#include "tools/printer-sim/loopback.h"

extern char** environ;

namespace kpm::sim {
namespace {

std::string Tail(const std::filesystem::path& file, std::size_t lines) {
    std::ifstream in(file);
    std::vector<std::string> all;
    for (std::string line; std::getline(in, line);) {
        all.push_back(line);
    }
    std::string text;
    for (std::size_t i = all.size() > lines ? all.size() - lines : 0; i < all.size(); ++i) {
        text += all[i] + "\n";
    }
    return text;
}

// The identifier for a comment line: nothing that could end the line.
std::string Printable(const std::string& text) {
    std::string out;
    for (const char c : text) {
        out += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return out;
}

bool Reaped(pid_t pid, int& status) {
    return ::waitpid(pid, &status, WNOHANG) == pid;
}

}  // namespace

std::string SnmpdConfigText(const SnmpdSettings& s) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (const char ch : s.deviceId) {
        const auto c = static_cast<unsigned char>(ch);
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    std::ostringstream out;
    out << "# Written by kpm-printer-sim: the IEEE 1284 device identifier of a\n"
        << "# simulated KPM printer, for SNMPv2c GETs with community \"" << s.community << "\".\n"
        << "agentAddress udp:" << s.address << ":" << s.port << "\n"
        << "rocommunity " << s.community << " default\n"
        << "# \"" << Printable(s.deviceId) << "\"\n"
        << "override ." << kDeviceIdOid << " octet_str "
        << (hex.empty() ? std::string("\"\"") : "0x" + hex) << "\n";
    return out.str();
}

void WriteSnmpdConfig(const std::filesystem::path& path, const SnmpdSettings& settings) {
    ReplaceFile(path, SnmpdConfigText(settings));
}

std::filesystem::path FindSnmpd() {
    std::vector<std::filesystem::path> dirs;
    if (const char* path = std::getenv("PATH")) {
        std::istringstream in(path);
        for (std::string dir; std::getline(in, dir, ':');) {
            if (!dir.empty()) {
                dirs.emplace_back(dir);
            }
        }
    }
    dirs.emplace_back("/usr/sbin");
    dirs.emplace_back("/sbin");
    for (const auto& dir : dirs) {
        const auto candidate = dir / "snmpd";
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

SnmpAgent::SnmpAgent(SnmpdSettings settings, std::filesystem::path workDir)
    : settings_(std::move(settings)), workDir_(std::move(workDir)) {
    const std::filesystem::path program = FindSnmpd();
    if (program.empty()) {
        throw std::runtime_error("snmpd is not installed (Debian package snmpd)");
    }
    if (!LoopbackPortsFree(settings_.address, {}, {settings_.port})) {
        throw std::system_error(std::make_error_code(std::errc::address_in_use),
                                "UDP " + settings_.address + ":" + std::to_string(settings_.port));
    }
    std::filesystem::create_directories(workDir_ / "persist");
    std::filesystem::create_directories(workDir_ / "mibs");
    const auto config = workDir_ / "snmpd.conf";
    WriteSnmpdConfig(config, settings_);
    std::filesystem::remove(logFile());

    // No MIB files are needed to serve one numeric object; not loading them
    // makes snmpd start in tens of milliseconds instead of hundreds.
    std::vector<std::string> env{"SNMP_PERSISTENT_DIR=" + (workDir_ / "persist").string(),
                                 "MIBS=", "MIBDIRS=" + (workDir_ / "mibs").string(),
                                 "PATH=/usr/bin:/bin"};
    std::vector<std::string> args{program.string(),
                                  "-f",
                                  "-C",
                                  "-c",
                                  config.string(),
                                  "-Lf",
                                  logFile().string(),
                                  "-p",
                                  (workDir_ / "snmpd.pid").string()};
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const int rc = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        pid_ = -1;
        throw std::system_error(rc, std::generic_category(), "posix_spawn snmpd");
    }

    // Ready when its UDP port is taken.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
        int status = 0;
        if (Reaped(pid_, status)) {
            pid_ = -1;
            throw std::runtime_error("snmpd exited at start:\n" + Tail(logFile(), 5));
        }
        if (!LoopbackPortsFree(settings_.address, {}, {settings_.port})) {
            return;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            const std::string log = Tail(logFile(), 5);
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            pid_ = -1;
            throw std::runtime_error("snmpd did not bind its port within 10 s:\n" + log);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

SnmpAgent::~SnmpAgent() {
    if (pid_ <= 0) {
        return;
    }
    ::kill(pid_, SIGTERM);
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!Reaped(pid_, status)) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace kpm::sim
