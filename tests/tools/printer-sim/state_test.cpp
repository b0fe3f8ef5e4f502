// The printer's state as JSON (state file, control channel) and the control
// commands.
#include "tools/printer-sim/printer_state.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tools/printer-sim/control.h"
#include "tools/printer-sim/simulator.h"

namespace {

using namespace kpm::sim;
using nlohmann::json;

PrinterState Unusual() {
    PrinterState s = FactoryState();
    s.digits18Code = "ZZZZ12345678901234";
    s.serialNumber = "Q9";
    s.mac = {0xDE, 0xAD, 0xBE, 0xEF, 0x00, 0x01};
    s.deviceId = "MFG:X;MDL:Y;";
    s.ipMode = 0;
    s.ipAddress = 0x0A0B0C0D;
    s.subnetMask = 0xFFFFFFF0;
    s.gateway = 0;
    s.hostName = std::string(32, 'h');
    s.firing[Dpi1200][WhiteHead] = {-128, 127, -1, 1};
    s.alignment[Dpi600] = {-64, 63};
    s.platenRolling = {-5, 5};
    s.feed = {1, -2, 3, -4};
    s.heads[ColorHead] = {"ABCDEFGH", 17};
    s.clockSeconds = 0xFFFFFFFFu;
    s.schedule = {{6, 30, 2}, {23, 59, 1}};
    s.log.size = 123;
    s.log.blockSize = 7;
    s.log.order = LogOrder::Pairs;
    s.log.seed = 99;
    s.log.text = std::string("a\0b", 3);
    s.firmwareTooOld = true;
    return s;
}

TEST(StateJson, RoundTripsEveryMember) {
    EXPECT_EQ(StateFromJson(ToJson(FactoryState())), FactoryState());
    const PrinterState unusual = Unusual();
    EXPECT_EQ(StateFromJson(json::parse(ToJson(unusual).dump())), unusual);
    EXPECT_EQ(ToJson(unusual)["clock"]["as_text"], "2136-02-07 06:28:15");
    EXPECT_EQ(ToJson(unusual)["identity"]["mac_address"], "de:ad:be:ef:00:01");
}

TEST(StateJson, MissingMembersKeepFactoryValues) {
    const PrinterState s =
        StateFromJson(json::parse(R"({"network": {"host_name": "shop-1"}, "heads": {}})"));
    PrinterState expected = FactoryState();
    expected.hostName = "shop-1";
    EXPECT_EQ(s, expected);
}

TEST(StateJson, BadValuesNameTheirMember) {
    const std::vector<std::pair<const char*, const char*>> cases{
        {R"({"heads": {"white": {"v_rating": 18}}})", "heads.white.v_rating"},
        {R"({"network": {"ip_address": "10.0.0.256"}})", "network.ip_address"},
        {R"({"identity": {"mac_address": "00:11:22:33:44"}})", "identity.mac_address"},
        {R"({"identity": {"serial_number": "1234567890123456789"}})", "identity.serial_number"},
        {R"({"circulation_schedule": [{"time": "24:00", "kind": "long"}]})",
         "circulation_schedule[].time"},
        {R"({"firing": {"600dpi": {"color": [1, 2, 3]}}})", "firing.600dpi.color"},
        {R"({"log": {"order": "sideways"}})", "log.order"},
        {R"({"network": "x"})", "network"},
        {R"({"firmware_too_old": 1})", "firmware_too_old"},
    };
    for (const auto& [text, member] : cases) {
        try {
            StateFromJson(json::parse(text));
            ADD_FAILURE() << "accepted " << text;
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find(member), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(StateFromJson(json::array()), std::invalid_argument);
}

class TempDir : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kpm-sim-state-test-XXXXXX";
        dir_ = ::mkdtemp(pattern);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

using StateFile = TempDir;

TEST_F(StateFile, SavedAndLoaded) {
    const auto file = dir_ / "printer.json";
    SaveState(Unusual(), file);
    EXPECT_EQ(LoadState(file), Unusual());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);  // no leftovers

    std::ofstream(dir_ / "broken.json") << "{\"network\": ";
    try {
        LoadState(dir_ / "broken.json");
        ADD_FAILURE();
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("broken.json"), std::string::npos) << e.what();
    }
    EXPECT_THROW(LoadState(dir_ / "absent.json"), std::runtime_error);
    EXPECT_THROW(SaveState(Unusual(), dir_ / "no" / "such" / "dir.json"), std::runtime_error);
}

using Control = TempDir;

TEST_F(Control, CommandsChangeAndShowTheState) {
    Simulator sim;
    auto run = [&](const std::string& line) { return RunControlCommand(sim, line); };

    EXPECT_TRUE(run("set network.host_name shop-7").ok);
    EXPECT_TRUE(run("set heads.white.v_rating 12").ok);
    EXPECT_TRUE(run("set firmware_too_old true").ok);
    EXPECT_TRUE(run("set circulation_schedule [{\"time\":\"08:00\",\"kind\":\"long\"}]").ok);
    const PrinterState s = sim.state();
    EXPECT_EQ(s.hostName, "shop-7");
    EXPECT_EQ(s.heads[WhiteHead].vRating, 12);
    EXPECT_TRUE(s.firmwareTooOld);
    EXPECT_EQ(s.schedule, (std::vector<ScheduleEntry>{{8, 0, 2}}));

    const ControlReply bad = run("set heads.white.v_rating 40");
    EXPECT_FALSE(bad.ok);
    EXPECT_NE(bad.body.find("v_rating"), std::string::npos);
    EXPECT_FALSE(run("set heads.blue.v_rating 4").ok);
    EXPECT_EQ(sim.state().heads[WhiteHead].vRating, 12);

    const ControlReply state = run("state");
    ASSERT_TRUE(state.ok);
    EXPECT_EQ(json::parse(state.body)["network"]["host_name"], "shop-7");

    EXPECT_TRUE(run("fault status:14@46x2 split").ok);
    EXPECT_EQ(json::parse(run("faults").body), json::parse(R"(["status:14@46x2", "split"])"));
    EXPECT_FALSE(run("fault nonsense").ok);
    EXPECT_EQ(sim.faults().size(), 2u);  // nothing of a bad line is taken
    EXPECT_TRUE(run("fault clear").ok);
    EXPECT_TRUE(sim.faults().empty());

    EXPECT_FALSE(run("print").ok);
    EXPECT_EQ(json::parse(run("panel").body)["text"], "READY");
    EXPECT_TRUE(run("busy 2.5").ok);
    EXPECT_EQ(sim.printer().busyAfterJob(), std::chrono::milliseconds(2500));
    EXPECT_FALSE(run("busy soon").ok);

    const auto inFolder = [&](const std::string& line) {
        return RunControlCommand(sim, line, dir_);
    };
    EXPECT_TRUE(inFolder("save s.json").ok);
    EXPECT_TRUE(run("reset").ok);
    EXPECT_EQ(sim.state(), FactoryState());
    EXPECT_TRUE(inFolder("load s.json").ok);
    EXPECT_EQ(sim.state().hostName, "shop-7");

    EXPECT_EQ(run("device-id").body, DeviceId(sim.state()) + "\n");
    EXPECT_TRUE(inFolder("snmpd-config snmpd.conf 1161").ok);
    EXPECT_TRUE(std::filesystem::exists(dir_ / "snmpd.conf"));
    // Without a folder, and outside it, no file is touched.
    EXPECT_FALSE(run("save s.json").ok);
    for (const std::string& name : {(dir_ / "t.json").string(), std::string("../t.json"),
                                    std::string(".."), std::string("sub/t.json")}) {
        EXPECT_FALSE(inFolder("save " + name).ok) << name;
        EXPECT_FALSE(inFolder("load " + name).ok) << name;
    }
    std::filesystem::create_symlink("/etc/hostname", dir_ / "link.json");
    EXPECT_FALSE(inFolder("load link.json").ok);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "t.json"));
    EXPECT_FALSE(run("frobnicate").ok);
    EXPECT_FALSE(run("").ok);
    EXPECT_TRUE(run("help").ok);
}

TEST(ControlChannel, AnswersOverTcp) {
    Simulator sim;
    const ControlReply panel = SendControlCommand(sim.address(), sim.controlPort(), "panel");
    ASSERT_TRUE(panel.ok);
    EXPECT_EQ(json::parse(panel.body)["status"], "standby");
    const ControlReply bad = SendControlCommand(sim.address(), sim.controlPort(), "print");
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.body, "no job is waiting");

    Options noControl;
    noControl.controlPort = 0;
    Simulator quiet(noControl);
    EXPECT_THROW(SendControlCommand(quiet.address(), kControlPort, "panel"), std::system_error);
}

}  // namespace
