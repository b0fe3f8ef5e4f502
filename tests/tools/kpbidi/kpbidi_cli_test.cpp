// The kpbidi program, run as a process against the printer simulator.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "tests/support/command.h"
#include "tests/support/process.h"
#include "tests/support/snmp_printer.h"
#include "tools/printer-sim/log_content.h"
#include "tools/printer-sim/loopback.h"
#include "tools/printer-sim/simulator.h"

namespace {

namespace fs = std::filesystem;
using kpm::test::CommandResult;
using kpm::test::RunCommand;

class Cli : public ::testing::Test {
protected:
    CommandResult Run(std::vector<std::string> args) {
        args.insert(args.begin(), {KPBIDI_PROGRAM, "--host", sim_.address()});
        return RunCommand(args);
    }
    nlohmann::json Json(std::vector<std::string> args) {
        args.insert(args.begin(), "--json");
        const CommandResult r = Run(args);
        EXPECT_EQ(r.exitStatus, 0) << r.output;
        return nlohmann::json::parse(r.output, nullptr, false);
    }
    std::vector<unsigned char> Logged(std::uint16_t code) {
        const auto requests = sim_.requests();
        for (const auto& sent : requests.back().commands) {
            if (sent.code == code) {
                return sent.data;
            }
        }
        return {};
    }

    kpm::sim::Simulator sim_;
};

TEST_F(Cli, IdentityReadableAndJson) {
    sim_.UpdateState([](kpm::sim::PrinterState& s) {
        s.digits18Code = "BKPM735H0000000042";
        s.serialNumber = "A0001234";
        s.mac = {0x00, 0x1B, 0xA9, 0x0C, 0x22, 0xF7};
    });
    const CommandResult text = Run({"info"});
    EXPECT_EQ(text.exitStatus, 0);
    EXPECT_EQ(text.output,
              "18-digit code:  BKPM735H0000000042\nSerial number:  A0001234\n"
              "MAC address:    00:1b:a9:0c:22:f7\n");
    EXPECT_EQ(Json({"info"}), nlohmann::json::parse(R"({"digits_18_code":"BKPM735H0000000042",
        "mac_address":"00:1b:a9:0c:22:f7","serial_number":"A0001234"})"));
}

TEST_F(Cli, NetworkSettingsFamily) {
    EXPECT_EQ(Run({"ip-mode", "static"}).exitStatus, 0);
    EXPECT_EQ(sim_.state().ipMode, 0);
    EXPECT_EQ(Json({"ip-mode"})["ip_mode"], 0);
    EXPECT_EQ(Run({"ip-settings", "10.1.2.3", "255.255.0.0", "10.1.0.1"}).exitStatus, 0);
    EXPECT_EQ(Json({"ip-settings"}), (nlohmann::json{{"address", "10.1.2.3"},
                                                     {"subnet_mask", "255.255.0.0"},
                                                     {"gateway", "10.1.0.1"}}));
    EXPECT_EQ(Run({"host-name", "press-3"}).exitStatus, 0);
    EXPECT_EQ(Run({"host-name"}).output, "Host name: press-3\n");
    // Input the tool can refuse itself never reaches the printer.
    const std::size_t before = sim_.requests().size();
    EXPECT_EQ(Run({"ip-settings", "10.1.2.300", "255.255.0.0", "10.1.0.1"}).exitStatus, 2);
    EXPECT_EQ(Run({"host-name", std::string(33, 'x')}).exitStatus, 2);
    EXPECT_EQ(sim_.requests().size(), before);
}

TEST_F(Cli, AdjustmentFamily) {
    EXPECT_EQ(Run({"firing", "colour", "1200", "1", "-2", "3", "0"}).exitStatus, 0);
    EXPECT_EQ(Logged(46), (std::vector<unsigned char>{1, 0, 0, 0, 0xFE, 1, 3, 0}));
    EXPECT_EQ(Run({"firing", "white", "600", "reset"}).exitStatus, 0);
    EXPECT_EQ(Logged(46), (std::vector<unsigned char>{0, 1, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Run({"alignment", "1200", "4", "-4"}).exitStatus, 0);
    EXPECT_EQ(Logged(63), (std::vector<unsigned char>{1, 0, 4, 0xFC, 0, 0, 0, 0}));
    EXPECT_EQ(Run({"platen-rolling", "reset"}).exitStatus, 0);
    EXPECT_EQ(Logged(109), (std::vector<unsigned char>{1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Run({"feed", "1", "2", "3", "4"}).exitStatus, 0);
    EXPECT_EQ(Run({"head-serial", "white", "XAA1234"}).exitStatus, 0);
    EXPECT_EQ(sim_.state().heads[1].serial, "XAA1234");
    EXPECT_EQ(Run({"v-rating", "white", "12"}).exitStatus, 0);
    EXPECT_EQ(Json({"v-rating"})["white"], 12);
    EXPECT_EQ(Run({"firing", "colour", "1200", "1", "2"}).exitStatus, 2);
    EXPECT_EQ(Run({"v-rating", "white", "18"}).exitStatus, 2);
}

TEST_F(Cli, ClockAndSchedule) {
    setenv("TZ", "UTC0", 1);
    EXPECT_EQ(Run({"clock", "2026-07-01T12:00:00"}).exitStatus, 0);
    unsetenv("TZ");
    EXPECT_EQ(sim_.state().clockSeconds, 9678u * 86400 + 12 * 3600);
    EXPECT_EQ(Run({"clock"}).exitStatus, 0);  // now

    EXPECT_EQ(Run({"schedule", "set", "13:00", "06:30=long"}).exitStatus, 0);
    EXPECT_EQ(Json({"schedule"}), nlohmann::json::parse(R"({"06:30":"long","13:00":"normal"})"));
    EXPECT_EQ(Run({"schedule", "get"}).output,
              "06:30  long circulation\n13:00  normal circulation\n");
    EXPECT_EQ(Run({"schedule", "cancel"}).exitStatus, 0);
    EXPECT_EQ(Run({"schedule"}).output, "No circulation scheduled.\n");
    EXPECT_EQ(Run({"schedule", "set", "24:00"}).exitStatus, 2);
    EXPECT_EQ(Run({"schedule", "set", "06:30=short"}).exitStatus, 2);
}

TEST_F(Cli, ReadDataDump) {
    const nlohmann::json block = Json({"read-data", "0x8016"});
    EXPECT_EQ(block["value1"], 0x8016);
    EXPECT_EQ(block["size"], 448);
    EXPECT_EQ(block["data"].get<std::string>().size(), 2u * 448);
    const CommandResult text = Run({"read-data", "32790"});
    EXPECT_NE(text.output.find("size: 448"), std::string::npos);
    EXPECT_NE(text.output.find("\n0001b0 "), std::string::npos);  // offsets in hex
}

// The first line of the output, parsed; a discarded value when it is not JSON.
nlohmann::json FirstLineJson(const std::string& output) {
    return nlohmann::json::parse(output.substr(0, output.find('\n')), nullptr, false);
}

// A printer that lies: texts that are not UTF-8 and texts that carry terminal
// escapes. The JSON output stays JSON (invalid bytes become U+FFFD) and the
// readable output shows every control character escaped.
TEST_F(Cli, HostileTextsNeitherCrashNorReachTheTerminal) {
    sim_.UpdateState([](kpm::sim::PrinterState& s) {
        s.hostName = "\xff\xfepress\x1b]0;owned\x07";
        s.serialNumber = "A1\xc3";
    });
    const CommandResult host = Run({"host-name"});
    EXPECT_EQ(host.exitStatus, 0);
    EXPECT_EQ(host.output, "Host name: \xef\xbf\xbd\xef\xbf\xbdpress\\x1b]0;owned\\x07\n");
    EXPECT_EQ(Json({"host-name"})["host_name"], "\xef\xbf\xbd\xef\xbf\xbdpress\x1b]0;owned\x07");

    // The printer information document refuses invalid UTF-8 (-1); the
    // escapes of a valid one are shown escaped.
    const CommandResult info = Run({"info"});
    EXPECT_EQ(info.exitStatus, 1);
    sim_.UpdateState([](kpm::sim::PrinterState& s) {
        s.serialNumber = "A1\x1b[2J\xc2\x9b";
        s.digits18Code =
            "\xe2\x80\xae"
            "BKPM";
    });
    const CommandResult shown = Run({"info"});
    EXPECT_EQ(shown.exitStatus, 0);
    EXPECT_NE(shown.output.find("Serial number:  A1\\x1b[2J\\u009b\n"), std::string::npos)
        << shown.output;
    EXPECT_NE(shown.output.find("18-digit code:  \\u202eBKPM"), std::string::npos) << shown.output;
    EXPECT_EQ(shown.output.find('\x1b'), std::string::npos);

    // Bytes of the command line: an unknown option, a file name.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--json", "--\xff\x1b[2J"},
          std::vector<std::string>{"--json", "no-such-\xc3"}}) {
        const CommandResult r = Run(args);
        EXPECT_EQ(r.exitStatus, 2);
        EXPECT_FALSE(FirstLineJson(r.output).is_discarded()) << r.output;
        EXPECT_EQ(r.output.find('\x1b'), std::string::npos);
    }
    const fs::path dir = fs::temp_directory_path() / ("kpbidi-names-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string file = (dir / "log-\xff\x1b[2J.txt").string();
    const CommandResult saved = Run({"--json", "fetch-log", file});
    EXPECT_EQ(saved.exitStatus, 0) << saved.output;
    EXPECT_FALSE(FirstLineJson(saved.output).is_discarded()) << saved.output;
    const CommandResult plain = Run({"fetch-log", file});
    EXPECT_EQ(plain.exitStatus, 0);
    EXPECT_NE(plain.output.find("log-\\xff\\x1b[2J.txt"), std::string::npos) << plain.output;
    fs::remove_all(dir);
}

TEST(CliDeviceId, HostileDeviceIdNeitherCrashesNorReachesTheTerminal) {
    kpm::test::SnmpPrinter printer("MFG:Corvane;\xff\xc3;DES:\x1b[2J\x1b]2;x\x07;");
    const CommandResult json =
        RunCommand({KPBIDI_PROGRAM, "--json", "--host", printer.address(), "device-id"});
    EXPECT_EQ(json.exitStatus, 0) << json.output;
    EXPECT_EQ(FirstLineJson(json.output)["device_id"],
              "MFG:Corvane;\xef\xbf\xbd\xef\xbf\xbd;DES:\x1b[2J\x1b]2;x\x07;");
    const CommandResult plain =
        RunCommand({KPBIDI_PROGRAM, "--host", printer.address(), "device-id"});
    EXPECT_EQ(plain.output, "MFG:Corvane;\\xff\\xc3;DES:\\x1b[2J\\x1b]2;x\\x07;\n");
}

TEST_F(Cli, FailuresPrintCodeNameAndMessage) {
    sim_.AddFault("status:19@128x1");
    const CommandResult status = Run({"clock"});
    EXPECT_EQ(status.exitStatus, 1);
    EXPECT_EQ(status.output, "kpbidi: error 19 (printer status)\n");

    sim_.AddFault("bad-checksum@28x1");
    const CommandResult json = Run({"--json", "read-data", "0x8011"});
    EXPECT_EQ(json.exitStatus, 1);
    EXPECT_EQ(nlohmann::json::parse(json.output),
              nlohmann::json::parse(
                  R"({"error":{"code":1006,"message":null,"name":"InvalidResponse"}})"));

    // Nothing listens on a fresh loopback address: the connection is refused.
    const std::string nobody = kpm::sim::PickFreeLoopbackAddress({48000});
    const CommandResult refused = RunCommand({KPBIDI_PROGRAM, "--host", nobody, "info"});
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_EQ(refused.output, "kpbidi: error 1002 (UnsupportedPort)\n");

    const CommandResult unresolvable =
        RunCommand({KPBIDI_PROGRAM, "--host", "no-such-printer.invalid", "info"});
    EXPECT_EQ(unresolvable.output,
              "kpbidi: error 1011 (CommunicationError): Address::GetAddressInfo: name resolution "
              "is failed\n");

    EXPECT_EQ(RunCommand({KPBIDI_PROGRAM, "info"}).exitStatus, 2);  // no printer chosen
    EXPECT_EQ(Run({"no-such-command"}).exitStatus, 2);
    EXPECT_EQ(RunCommand({KPBIDI_PROGRAM, "fetch-log", "--help"}).exitStatus, 0);
}

std::vector<fs::path> FilesIn(const fs::path& dir) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        files.push_back(entry.path().filename());
    }
    return files;
}

class LogFile : public Cli {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("kpbidi-log-" + std::to_string(getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(LogFile, SavedWholeAndOnlyWhenComplete) {
    kpm::sim::LogSettings settings;
    settings.size = 3 * 1000 * 1000 + 17;
    settings.blockSize = 4096;
    settings.order = kpm::sim::LogOrder::Pairs;
    sim_.UpdateState([&](kpm::sim::PrinterState& s) { s.log = settings; });
    const fs::path file = dir_ / "printer.log";
    const CommandResult ok = Run({"fetch-log", file.string()});
    ASSERT_EQ(ok.exitStatus, 0) << ok.output;
    std::ifstream in(file, std::ios::binary);
    std::stringstream got;
    got << in.rdbuf();
    EXPECT_TRUE(got.str() == kpm::sim::LogContent(settings).ReadAll());
    EXPECT_EQ(FilesIn(dir_), std::vector<fs::path>{"printer.log"});

    // A log whose final block never comes leaves no file behind, and an
    // existing file of that name is left as it was.
    sim_.AddFault("log-gap:5@35x1");
    const CommandResult gap = Run({"fetch-log", file.string()});
    EXPECT_EQ(gap.exitStatus, 1);
    EXPECT_EQ(gap.output, "kpbidi: error 1006 (InvalidResponse)\n");
    EXPECT_EQ(fs::file_size(file), settings.size);
    EXPECT_EQ(FilesIn(dir_), std::vector<fs::path>{"printer.log"});

    // A file that cannot take the whole log (here a file size limit below
    // the log's) is a failure, whatever write it hits, the last one too.
    sim_.ClearFaults();
    settings.size = 100 * 1000;
    sim_.UpdateState([&](kpm::sim::PrinterState& s) { s.log = settings; });
    const CommandResult full = kpm::test::RunCommand(
        {"/bin/sh", "-c", "trap '' XFSZ; ulimit -f 64; exec \"$0\" \"$@\"", KPBIDI_PROGRAM,
         "--host", sim_.address(), "fetch-log", file.string()});
    EXPECT_EQ(full.exitStatus, 1);
    EXPECT_NE(full.output.find("cannot write"), std::string::npos) << full.output;
    EXPECT_EQ(fs::file_size(file), 3 * 1000 * 1000 + 17);
    EXPECT_EQ(FilesIn(dir_), std::vector<fs::path>{"printer.log"});

    const CommandResult nowhere = Run({"fetch-log", (dir_ / "missing" / "x.log").string()});
    EXPECT_EQ(nowhere.exitStatus, 1);
    EXPECT_NE(nowhere.output.find("cannot create a file beside"), std::string::npos);
}

TEST_F(LogFile, EndingSignalsLeaveNoFile) {
    // A slow printer: 4 KiB every 10 ms.
    sim_.AddFault("drip:4096/10@35");
    const fs::path file = dir_ / "slow.log";
    // SIGHUP: the SSH session dropped; SIGQUIT: Ctrl+\\.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        const pid_t pid = kpm::test::StartProcess(
            {KPBIDI_PROGRAM, "--host", sim_.address(), "fetch-log", file.string()});
        ASSERT_GT(pid, 0);
        // Wait until the temporary file exists and holds some of the log.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        bool started = false;
        while (!started && std::chrono::steady_clock::now() < deadline) {
            for (const auto& entry : fs::directory_iterator(dir_)) {
                started = started || fs::file_size(entry.path()) > 0;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        EXPECT_TRUE(started) << strsignal(signal);
        kill(pid, signal);
        EXPECT_EQ(kpm::test::WaitProcess(pid), 130) << strsignal(signal);
        EXPECT_TRUE(FilesIn(dir_).empty()) << strsignal(signal);
    }
}

// Renaming over anything but a regular file would leave a regular file in
// its place: a device, a FIFO or a symbolic link (to a device) is refused
// before the printer is asked, and is left as it was; so is another user's
// file (in a shared folder, a name someone else took first).
TEST_F(LogFile, RefusesToReplaceWhatIsNotARegularFile) {
    const fs::path device = dir_ / "null";
    ASSERT_EQ(mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0)
        << "mknod of a character device needs root: " << std::strerror(errno);
    const fs::path fifo = dir_ / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const fs::path link = dir_ / "link";
    fs::create_symlink("/dev/null", link);
    const fs::path folder = dir_ / "folder";
    fs::create_directory(folder);
    const fs::path theirs = dir_ / "theirs";
    std::ofstream(theirs) << "theirs";
    ASSERT_EQ(chown(theirs.c_str(), 65534, 65534), 0);
    const std::size_t before = sim_.requests().size();
    const struct {
        fs::path path;
        fs::file_type type;
        const char* what;
    } cases[] = {
        {device, fs::file_type::character, "a character device"},
        {fifo, fs::file_type::fifo, "a FIFO"},
        {link, fs::file_type::symlink, "a symbolic link"},
        {folder, fs::file_type::directory, "a folder"},
        {theirs, fs::file_type::regular, "another user's file"},
    };
    for (const auto& c : cases) {
        const CommandResult r = Run({"fetch-log", c.path.string()});
        EXPECT_EQ(r.exitStatus, 1) << c.what;
        EXPECT_EQ(r.output, "kpbidi: will not replace " + c.path.string() + ": it is " + c.what +
                                "; name a new or regular file\n");
        EXPECT_EQ(fs::symlink_status(c.path).type(), c.type) << c.what;
    }
    EXPECT_EQ(sim_.requests().size(), before);
    EXPECT_EQ(FilesIn(dir_).size(), 5u);
    EXPECT_EQ(fs::status("/dev/null").type(), fs::file_type::character);
}

}  // namespace
