// A simulated printer on a random loopback address with its SNMP identity
// served by a real snmpd: the simulator's own snmpd configuration (an
// override of the device identifier object), snmpd run with no MIB files
// and its state, pid file and log in a folder under the build folder.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "tools/printer-sim/simulator.h"
#include "tools/printer-sim/snmpd.h"

#ifndef KPM_TEST_STATE_DIR
#error "KPM_TEST_STATE_DIR must name a folder under the build folder"
#endif

namespace kpm::test {

class SnmpPrinter {
public:
    // `deviceId`: what the printer reports; empty for the simulator's own.
    explicit SnmpPrinter(const std::string& deviceId = {}) : sim_(OptionsFor(deviceId)) {
        folder_ = std::filesystem::path(KPM_TEST_STATE_DIR) /
                  ("snmpd-" + sim_.address() + "-" + std::to_string(::getpid()));
        kpm::sim::SnmpdSettings settings;
        settings.address = sim_.address();
        settings.deviceId = sim_.DeviceId();
        agent_ = std::make_unique<kpm::sim::SnmpAgent>(settings, folder_);
    }
    ~SnmpPrinter() {
        agent_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    SnmpPrinter(const SnmpPrinter&) = delete;
    SnmpPrinter& operator=(const SnmpPrinter&) = delete;

    const std::string& address() const { return sim_.address(); }
    std::string DeviceId() const { return sim_.DeviceId(); }
    // A folder of the test's own, removed with the printer.
    const std::filesystem::path& folder() const { return folder_; }
    kpm::sim::Simulator& simulator() { return sim_; }

private:
    static kpm::sim::Options OptionsFor(const std::string& deviceId) {
        kpm::sim::Options o;
        o.state.deviceId = deviceId;
        return o;
    }

    kpm::sim::Simulator sim_;
    std::filesystem::path folder_;
    std::unique_ptr<kpm::sim::SnmpAgent> agent_;
};

}  // namespace kpm::test
