// The printer's SNMP identity, served by a real net-snmp snmpd: the
// configuration that makes snmpd answer the IEEE 1284 device identifier of
// printer 1, and an owner for an snmpd process that serves it.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace kpm::sim {

inline constexpr const char* kDeviceIdOid = "1.3.6.1.4.1.2699.1.2.1.2.1.1.3.1";
inline constexpr const char* kSnmpCommunity = "vortel";

struct SnmpdSettings {
    std::string address;  // IPv4 address snmpd listens on (UDP)
    std::uint16_t port = 161;
    std::string community = kSnmpCommunity;
    std::string deviceId;  // served as an OCTET STRING, byte for byte
};

// snmpd.conf text: the agent address, a read-only community and an
// `override` of the device identifier object. The value is written in hex,
// so any bytes (quotes, semicolons, spaces) survive.
std::string SnmpdConfigText(const SnmpdSettings& settings);
// Throws std::runtime_error when the file cannot be written.
void WriteSnmpdConfig(const std::filesystem::path& path, const SnmpdSettings& settings);

// The snmpd program: on PATH or in /usr/sbin or /sbin; empty when absent.
std::filesystem::path FindSnmpd();

// A private snmpd serving the settings for the object's lifetime. Its
// configuration, pid file, persistent state and log go into workDir (created
// when missing), never into the system's own snmp folders.
class SnmpAgent {
public:
    // Returns once snmpd has bound its port. Throws std::system_error
    // (errc::address_in_use) when the port is taken, std::runtime_error when
    // snmpd is missing or does not come up (with its log's last lines).
    SnmpAgent(SnmpdSettings settings, std::filesystem::path workDir);
    // Stops snmpd (SIGTERM, then SIGKILL after two seconds) and reaps it.
    ~SnmpAgent();

    SnmpAgent(const SnmpAgent&) = delete;
    SnmpAgent& operator=(const SnmpAgent&) = delete;

    pid_t pid() const noexcept { return pid_; }
    const SnmpdSettings& settings() const noexcept { return settings_; }
    std::filesystem::path logFile() const { return workDir_ / "snmpd.log"; }

private:
    SnmpdSettings settings_;
    std::filesystem::path workDir_;
    pid_t pid_ = -1;
};

}  // namespace kpm::sim
