// The SNMP identity: the configuration text, and a real snmpd on loopback
// answering an SNMPv2c GET (made with net-snmp's snmpget) with the device
// identifier's exact bytes.
#include "tools/printer-sim/snmpd.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "tools/printer-sim/loopback.h"
#include "tools/printer-sim/simulator.h"

namespace {

using namespace kpm::sim;

struct TempDir {
    TempDir() {
        char pattern[] = "/tmp/kpm-sim-snmpd-test-XXXXXX";
        path = ::mkdtemp(pattern);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path path;
};

std::string RunCommand(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    char buffer[4096];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) {
        out += buffer;
    }
    return out;
}

TEST(SnmpdConfig, ServesTheDeviceIdAsHexOctetString) {
    SnmpdSettings s;
    s.address = "127.9.8.7";
    s.port = 1161;
    s.deviceId = "MFG:A;\"Q\"";
    const std::string text = SnmpdConfigText(s);
    EXPECT_NE(text.find("agentAddress udp:127.9.8.7:1161\n"), std::string::npos) << text;
    EXPECT_NE(text.find("rocommunity vortel default\n"), std::string::npos) << text;
    EXPECT_NE(text.find("override .1.3.6.1.4.1.2699.1.2.1.2.1.1.3.1 octet_str "
                        "0x4d46473a413b225122\n"),
              std::string::npos)
        << text;
}

TEST(SnmpdConfig, RealSnmpdAnswersWithTheSimulatorsDeviceId) {
    TempDir dir;
    Simulator sim;
    sim.UpdateState([](PrinterState& s) {
        s.deviceId = "MFG:Corvane;MDL:KPM pro;CLS:PRINTER;DES:A \"quoted\" one;";
    });
    SnmpdSettings settings;
    settings.deviceId = sim.DeviceId();
    auto agent = WithFreeLoopbackAddress([&](const std::string& address) {
        settings.address = address;
        return std::make_unique<SnmpAgent>(settings, dir.path);
    });

    // snmpget keeps state of its own (and says so on standard error the first
    // time it creates /var/lib/snmp/...): give it a folder of the test's, and
    // read the value from standard output alone.
    const std::string client = (dir.path / "snmpget").string();
    const std::string base = "MIBS= MIBDIRS=" + (dir.path / "mibs").string() +
                             " SNMPCONFPATH=" + client + " SNMP_PERSISTENT_DIR=" + client +
                             " snmpget -v2c -Oqv -Ox ";
    const std::string errors = client + ".err";
    const std::string hex = RunCommand(base + "-r 2 -t 1 -c vortel " + settings.address + " " +
                                       kDeviceIdOid + " 2>" + errors);
    std::string expected;
    char two[4];
    for (const char c : settings.deviceId) {
        std::snprintf(two, sizeof two, "%02X", static_cast<unsigned char>(c));
        expected += two;
    }
    std::string got;
    for (const char c : hex) {
        if (std::isxdigit(static_cast<unsigned char>(c))) {
            got += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    EXPECT_EQ(got, expected) << hex << RunCommand("cat " + errors);

    // Another community gets nothing.
    const std::string refused = RunCommand(base + "-r 0 -t 0.3 -c public " + settings.address +
                                           " " + kDeviceIdOid + " 2>&1");
    EXPECT_NE(refused.find("Timeout"), std::string::npos) << refused;
}

TEST(SnmpdConfig, AgentRefusesAPortThatIsTaken) {
    TempDir dir;
    SnmpdSettings settings;
    settings.deviceId = "MFG:X;";
    auto first = WithFreeLoopbackAddress([&](const std::string& address) {
        settings.address = address;
        return std::make_unique<SnmpAgent>(settings, dir.path / "a");
    });
    try {
        SnmpAgent second(settings, dir.path / "b");
        FAIL() << "a second agent on the same port started";
    } catch (const std::system_error& e) {
        EXPECT_TRUE(IsAddressInUse(e));
    }
}

}  // namespace
