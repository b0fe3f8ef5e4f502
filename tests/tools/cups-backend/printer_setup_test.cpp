// KPM printers found and added the way Linux users add printers, on a
// network of namespaces (nothing leaves the machine): three simulated
// printers with SNMP agents, an agent claiming to be a KPM printer that does
// not speak its protocol, a simulator that never answers, and an address
// that answers nothing; the backend, kpbidi and a private cupsd run there.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <thread>

#include "bidi/communications/network_discovery.h"
#include "tests/support/lan_testbed.h"
#include "tests/support/process.h"
#include "tools/printer-sim/snmpd.h"

namespace {

namespace fs = std::filesystem;
using kpm::test::CommandResult;
using nlohmann::json;
using Clock = std::chrono::steady_clock;

struct Printer {
    std::string serial;
    std::string deviceId;
    std::string deviceIdInLine;  // as the device line must carry it
    std::string address = {};
};

// The hostile one: quotes, a backslash and an escape sequence in its ID.
std::vector<Printer> Printers() {
    return {
        {"K7400011", "MFG:Corvane;MDL:KPM pro;CMD:KPM;CLS:PRINTER;SN:K7400011;",
         "MFG:Corvane;MDL:KPM pro;CMD:KPM;CLS:PRINTER;SN:K7400011;"},
        {"K7300012", "MFG:Corvane;MDL:KPM pro;CMD:KPM;CLS:PRINTER;SN:K7300012;",
         "MFG:Corvane;MDL:KPM pro;CMD:KPM;CLS:PRINTER;SN:K7300012;"},
        {"K7400013", "MFG:Corvane;MDL:KPM pro;DES:say \"hi\"\\\x1b[2J\n;SN:K7400013;",
         "MFG:Corvane;MDL:KPM pro;DES:say ?hi???[2J?;SN:K7400013;"},
    };
}

class Lan {
public:
    static constexpr std::uint16_t kAgentPort = 1161;

    Lan() : folder_(fs::path(KPM_TEST_STATE_DIR) / ("lan-" + std::to_string(::getpid()))) {
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        if (!bed_.ok()) {
            return;
        }
        printers_ = Printers();
        for (Printer& p : printers_) {
            p.address = bed_.AddHost();
            StartAgent(p.address, p.deviceId);
            StartSimulator(p.address, {{"set", "identity.serial_number", p.serial}});
        }
        const std::string impostor = bed_.AddHost();
        StartAgent(impostor, printers_[0].deviceId);
        const std::string silent = bed_.AddHost();
        StartAgent(silent, printers_[1].deviceId);
        StartSimulator(silent,
                       {{"set", "identity.serial_number", "K7409999"}, {"fault", "silence"}});
        bed_.AddHost();  // answers nothing
        for (const std::string& agent :
             {printers_[0].address, printers_[1].address, printers_[2].address, impostor, silent}) {
            WaitUntil("the SNMP agent on " + agent, [&] {
                return bed_.Run(bed_.client(), {KPBIDI_PROGRAM, "--host", agent, "device-id"})
                           .exitStatus == 0;
            });
        }
        StartCupsd();
    }

    ~Lan() {
        if (!socketFolder_.empty()) {
            kpm::test::RunCommand({KPM_CUPSD_HARNESS, "stop", (folder_ / "cupsd").string()});
            fs::remove_all(socketFolder_);
        }
    }

    kpm::test::LanTestbed& bed() { return bed_; }
    const std::vector<Printer>& printers() const { return printers_; }

    // A program in the discovering namespace, talking to the private cupsd.
    CommandResult Cups(std::vector<std::string> args) {
        return bed_.Run(bed_.client(), std::move(args), {"CUPS_SERVER=" + socket_});
    }

private:
    void WaitUntil(const std::string& what, const std::function<bool()>& ready) {
        const auto deadline = Clock::now() + std::chrono::seconds(20);
        while (!ready()) {
            if (Clock::now() > deadline) {
                ADD_FAILURE() << what << " did not come up within 20 s";
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    // snmpd serving `deviceId` on the host's loopback, reached on the
    // host's address and its broadcast address through kpm_snmp_relay.
    void StartAgent(const std::string& address, const std::string& deviceId) {
        const fs::path snmpd = kpm::sim::FindSnmpd();
        if (snmpd.empty()) {
            ADD_FAILURE() << "snmpd is missing: install the Debian package snmpd";
            return;
        }
        const fs::path dir = folder_ / ("snmpd-" + address);
        fs::create_directories(dir / "persist");
        fs::create_directories(dir / "mibs");
        kpm::sim::SnmpdSettings settings;
        settings.address = "127.0.0.1";
        settings.port = kAgentPort;
        settings.deviceId = deviceId;
        kpm::sim::WriteSnmpdConfig(dir / "snmpd.conf", settings);
        const std::string broadcast = address.substr(0, address.rfind('.')) + ".255";
        bed_.Start(bed_.NamespaceOf(address),
                   {KPM_SNMP_RELAY, address, broadcast, std::to_string(kAgentPort)},
                   (dir / "relay.log").string());
        bed_.Start(bed_.NamespaceOf(address),
                   {snmpd.string(), "-f", "-C", "-c", (dir / "snmpd.conf").string(), "-Lf",
                    (dir / "snmpd.log").string(), "-p", (dir / "snmpd.pid").string()},
                   (dir / "output").string(),
                   {"SNMP_PERSISTENT_DIR=" + (dir / "persist").string(),
                    "MIBS=", "MIBDIRS=" + (dir / "mibs").string()});
    }

    // `control` are printer-sim ctl settings (after the address).
    void StartSimulator(const std::string& address,
                        const std::vector<std::vector<std::string>>& control) {
        const std::string ns = bed_.NamespaceOf(address);
        bed_.Start(ns, {KPM_PRINTER_SIM, "-q", "-a", address},
                   (folder_ / ("sim-" + address)).string());
        WaitUntil("the simulator on " + address, [&] {
            return bed_.Run(ns, {KPM_PRINTER_SIM, "ctl", address, "faults"}).exitStatus == 0;
        });
        for (std::vector<std::string> args : control) {
            args.insert(args.begin(), {KPM_PRINTER_SIM, "ctl", address});
            const CommandResult r = bed_.Run(ns, args);
            EXPECT_EQ(r.exitStatus, 0) << r.output;
        }
    }

    // In the discovering namespace, so that the backends cups-deviced
    // starts broadcast there.
    void StartCupsd() {
        char pattern[] = "/tmp/kpm-lan-cups-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            ADD_FAILURE() << "mkdtemp failed";
            return;
        }
        socketFolder_ = pattern;
        socket_ = socketFolder_ + "/cups.sock";
        const CommandResult r = bed_.Run(
            bed_.client(), {KPM_CUPSD_HARNESS, "start", (folder_ / "cupsd").string(), socket_},
            {std::string("KPM_CUPSD_BACKENDS=") + KPM_BACKEND,
             std::string("KPM_CUPSD_PPDS=") + KPM_PPD_FILE});
        EXPECT_EQ(r.exitStatus, 0) << r.output;
    }

    kpm::test::LanTestbed bed_;
    fs::path folder_;
    std::vector<Printer> printers_;
    std::string socketFolder_;
    std::string socket_;
};

class PrinterSetup : public ::testing::Test {
protected:
    static void SetUpTestSuite() { lan_ = new Lan(); }
    static void TearDownTestSuite() {
        delete lan_;
        lan_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(lan_->bed().ok()); }

    static Lan* lan_;
};
Lan* PrinterSetup::lan_ = nullptr;

std::string Uri(const Printer& p) {
    return "socket://" + p.address + ":9100";
}

TEST_F(PrinterSetup, BackendListsExactlyTheThreePrintersWithinItsBound) {
    const auto start = Clock::now();
    const CommandResult r = lan_->bed().Run(lan_->bed().client(), {KPM_BACKEND});
    const auto took = Clock::now() - start;
    EXPECT_EQ(r.exitStatus, 0);
    std::string expected;
    for (const Printer& p : lan_->printers()) {
        expected += "network " + Uri(p) + " \"Corvane KPM pro\" \"Corvane KPM pro (" + p.serial +
                    ")\" \"" + p.deviceIdInLine + "\" \"\"\n";
    }
    EXPECT_EQ(r.output, expected);
    // The silent printer is waited for until the bound, and not longer
    // (plus starting the program in the namespace).
    EXPECT_LT(took, KpBidi::kNetworkDiscoveryBound + std::chrono::seconds(2));
}

TEST_F(PrinterSetup, KpbidiDiscoverListsTheSamePrinters) {
    const CommandResult r = lan_->Cups({KPBIDI_PROGRAM, "--json", "discover"});
    ASSERT_EQ(r.exitStatus, 0) << r.output;
    const json doc = json::parse(r.output);
    ASSERT_EQ(doc["network"].size(), lan_->printers().size()) << r.output;
    for (std::size_t i = 0; i < lan_->printers().size(); ++i) {
        const Printer& p = lan_->printers()[i];
        EXPECT_EQ(doc["network"][i]["uri"], Uri(p));
        EXPECT_EQ(doc["network"][i]["serial_number"], p.serial);
        EXPECT_EQ(doc["network"][i]["device_id"], p.deviceId);
        EXPECT_EQ(doc["network"][i]["kind"], "KPM printer");
    }

    // Readable: the printer's texts escaped for the terminal.
    const CommandResult text = lan_->Cups({KPBIDI_PROGRAM, "discover"});
    EXPECT_EQ(text.exitStatus, 0);
    EXPECT_EQ(text.output.find('\x1b'), std::string::npos) << text.output;
    EXPECT_NE(text.output.find("say \"hi\"\\\\\\x1b[2J\\x0a;"), std::string::npos) << text.output;
}

// lpinfo -l -v: the socket:// devices ("Device: uri = ..." blocks), as
// uri -> make-and-model. (Backends whose scheme was not asked for still
// report themselves, by scheme name alone.)
std::map<std::string, std::string> KpmDevices(const std::string& output) {
    std::map<std::string, std::string> devices;
    std::istringstream in(output);
    std::string uri;
    for (std::string line; std::getline(in, line);) {
        const auto at = [&](const std::string& key) {
            const std::size_t p = line.find(key);
            return p == std::string::npos ? std::string() : line.substr(p + key.size());
        };
        if (line.rfind("Device: uri = ", 0) == 0) {
            uri = at("Device: uri = ");
        } else if (uri.rfind("socket://", 0) == 0 &&
                   line.find("make-and-model = ") != std::string::npos) {
            devices[uri] = at("make-and-model = ");
        }
    }
    return devices;
}

TEST_F(PrinterSetup, CupsListsThemWithTheKpmMakeAndModel) {
    const CommandResult r = lan_->Cups({"lpinfo", "-l", "-v", "--include-schemes", "kpm"});
    ASSERT_EQ(r.exitStatus, 0) << r.output;
    std::map<std::string, std::string> expected;
    for (const Printer& p : lan_->printers()) {
        expected[Uri(p)] = "Corvane KPM pro";
    }
    EXPECT_EQ(KpmDevices(r.output), expected) << r.output;
}

TEST_F(PrinterSetup, DriverChosenByDeviceIdAndTheQueueIsListedByTheWizard) {
    const Printer& p = lan_->printers()[0];
    const CommandResult models = lan_->Cups({"lpinfo", "-m", "--device-id", p.deviceId});
    ASSERT_EQ(models.exitStatus, 0) << models.output;
    // The best match comes first: "NAME Corvane KPM pro".
    const std::string first = models.output.substr(0, models.output.find('\n'));
    ASSERT_EQ(first, "corvane-kpm-pro.ppd Corvane KPM pro") << models.output;

    // A queue on the listed URI with that driver, as the desktop adds it.
    const std::string queue = "KPM-LAN-" + std::to_string(::getpid());
    const CommandResult add =
        lan_->Cups({"lpadmin", "-p", queue, "-E", "-v", Uri(p), "-m", "corvane-kpm-pro.ppd"});
    ASSERT_EQ(add.exitStatus, 0) << add.output;
    const CommandResult r = lan_->Cups({KPBIDI_PROGRAM, "--json", "discover"});
    lan_->Cups({"lpadmin", "-x", queue});
    ASSERT_EQ(r.exitStatus, 0) << r.output;
    const json queues = json::parse(r.output)["queues"];
    EXPECT_EQ(queues, json::array({{{"name", queue}, {"kind", "network"}, {"address", p.address}}}))
        << r.output;
}

}  // namespace
