// kpm-printer-sim as a process: start-up, its request log on standard
// output, the ctl client, the state file and a clean stop on Ctrl+C.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/support/another_user.h"
#include "tests/tools/printer-sim/wire_client.h"

extern char** environ;

namespace {

using namespace kpm::wire_test;
using namespace std::chrono_literals;

const char* const kProgram = KPM_PRINTER_SIM;

// A child process with its standard output (and error) on a pipe.
class Process {
public:
    explicit Process(std::vector<std::string> args) {
        int pipe[2];
        if (::pipe2(pipe, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe");
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipe[1], 1);
        posix_spawn_file_actions_adddup2(&actions, pipe[1], 2);
        args.insert(args.begin(), kProgram);
        std::vector<char*> argv;
        for (auto& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        const int rc = posix_spawn(&pid_, kProgram, &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipe[1]);
        out_ = pipe[0];
        if (rc != 0) {
            throw std::runtime_error("cannot start " + std::string(kProgram));
        }
    }
    ~Process() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            Wait();
        }
        ::close(out_);
    }

    // The next line of output; nothing at the end or after `timeout`.
    std::optional<std::string> Line(std::chrono::milliseconds timeout = 5s) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            const auto nl = buffer_.find('\n');
            if (nl != std::string::npos) {
                std::string line = buffer_.substr(0, nl);
                buffer_.erase(0, nl + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{out_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
                return std::nullopt;
            }
            char chunk[4096];
            const ssize_t n = ::read(out_, chunk, sizeof chunk);
            if (n <= 0) {
                if (buffer_.empty()) {
                    return std::nullopt;
                }
                std::string rest = buffer_;
                buffer_.clear();
                return rest;
            }
            buffer_.append(chunk, static_cast<std::size_t>(n));
        }
    }

    int Wait() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    void Signal(int sig) { ::kill(pid_, sig); }
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string buffer_;
};

// Runs to completion; returns exit status and output.
std::pair<int, std::string> RunToEnd(std::vector<std::string> args) {
    Process p(std::move(args));
    std::string all;
    while (const auto line = p.Line()) {
        all += *line + "\n";
    }
    return {p.Wait(), all};
}

std::string AddressFrom(const std::optional<std::string>& firstLine) {
    const std::string prefix = "kpm-printer-sim: listening on ";
    if (!firstLine || firstLine->rfind(prefix, 0) != 0) {
        return "";
    }
    return firstLine->substr(prefix.size());
}

TEST(Program, WithoutArgumentsListensOnALoopbackAddressUntilCtrlC) {
    const auto start = std::chrono::steady_clock::now();
    Process sim({});
    const std::string address = AddressFrom(sim.Line());
    const auto ready = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(address.rfind("127.", 0), 0u) << address;
    // Process start included; the in-process start is checked against 100 ms.
    EXPECT_LT(ready, 1s);
    std::string banner;
    for (auto line = sim.Line(); line != "Press Ctrl+C to stop."; line = sim.Line()) {
        ASSERT_TRUE(line.has_value()) << banner;
        banner += *line + "\n";
    }
    EXPECT_NE(banner.find("socket://" + address + ":9100"), std::string::npos) << banner;
    EXPECT_NE(banner.find("kpm-printer-sim ctl " + address), std::string::npos) << banner;

    const auto replies = Ask(address, {C22(), C(108)}, 0x00C0FFEE);
    EXPECT_EQ(replies.at(1).code, 60);
    const std::string logged = sim.Line().value_or("");
    EXPECT_NE(logged.find("id 00c0ffee  22(00 00 00 00 00 00 00 00)"), std::string::npos) << logged;
    EXPECT_NE(logged.find("-> 22:0 60:0"), std::string::npos) << logged;

    const auto [ctlStatus, state] = RunToEnd({"ctl", address, "state"});
    EXPECT_EQ(ctlStatus, 0);
    EXPECT_EQ(nlohmann::json::parse(state)["identity"]["serial_number"], "A7350142");
    const auto [badStatus, badOut] = RunToEnd({"ctl", address, "print"});
    EXPECT_EQ(badStatus, 1);
    EXPECT_NE(badOut.find("no job is waiting"), std::string::npos) << badOut;

    sim.Signal(SIGINT);
    EXPECT_EQ(sim.Line(), "kpm-printer-sim: stopped");
    EXPECT_EQ(sim.Wait(), 0);
}

TEST(Program, StateFileIsLoadedAndSavedOnExit) {
    char pattern[] = "/tmp/kpm-sim-program-test-XXXXXX";
    const std::filesystem::path dir = ::mkdtemp(pattern);
    const auto file = dir / "printer.json";
    std::ofstream(file) << R"({"network": {"host_name": "from-file"}})";
    {
        Process sim({"--state", file.string(), "--fault", "status:14@46", "--quiet"});
        const std::string address = AddressFrom(sim.Line());
        ASSERT_FALSE(address.empty());
        const auto name = Ask(address, {C22(), C(75)}).at(1);
        EXPECT_EQ(std::string(name.data.begin() + 4, name.data.begin() + 13), "from-file");
        EXPECT_EQ(StatusOf(Ask(address, {C22(), C(46, Bytes{1, 0, 0, 1, 1, 1, 1, 0})})[1]), 14);
        Bytes mode{0, 0, 0, 0, 0, 0, 0, 0};
        EXPECT_EQ(StatusOf(Ask(address, {C22(), C(76, mode)})[1]), 0);
        sim.Signal(SIGTERM);
        EXPECT_EQ(sim.Wait(), 0);
    }
    std::ifstream in(file);
    const auto saved = nlohmann::json::parse(in);
    EXPECT_EQ(saved["network"]["host_name"], "from-file");
    EXPECT_EQ(saved["network"]["ip_mode"], 0);
    std::filesystem::remove_all(dir);
}

// `args` of the ctl client, run as the unprivileged user nobody (another
// local user of the machine) from its copy of the program.
std::pair<int, std::string> CtlAsNobody(const kpm::test::CopiesForAnotherUser& copies,
                                        const std::vector<std::string>& args) {
    std::vector<std::string> all{copies.Path(kProgram), "ctl"};
    all.insert(all.end(), args.begin(), args.end());
    all = copies.AsUser(all);
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) {
        return {-1, "pipe"};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], 2);
    std::vector<char*> argv;
    for (auto& a : all) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    std::string out;
    char chunk[4096];
    for (ssize_t n; rc == 0 && (n = ::read(pipe[0], chunk, sizeof chunk)) > 0;) {
        out.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(pipe[0]);
    int status = 0;
    if (rc != 0 || ::waitpid(pid, &status, 0) < 0) {
        return {-1, "cannot run runuser (util-linux)"};
    }
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

// The control channel is open to every local user, and the simulator runs
// as root under make run and the tests. Another user can neither write a
// file anywhere nor read one, with or without a folder for file commands.
TEST(Program, AnotherUserCannotReachFilesThroughTheControlChannel) {
    ASSERT_EQ(::geteuid(), 0u) << "the simulator must run as another user than nobody (root)";
    const kpm::test::CopiesForAnotherUser copies({kProgram});
    ASSERT_TRUE(copies.ok());
    char pattern[] = "/tmp/kpm-sim-control-XXXXXX";
    const std::filesystem::path dir = ::mkdtemp(pattern);
    const std::filesystem::path victim = "/tmp/kpm-sim-victim-" + std::to_string(::getpid());
    std::ofstream(dir / "secret") << "top-secret-token rest\n";
    {
        Process sim({"--quiet"});
        const std::string address = AddressFrom(sim.Line());
        ASSERT_FALSE(address.empty());
        const auto [saved, saveOut] = CtlAsNobody(copies, {address, "save", victim.string()});
        EXPECT_EQ(saved, 1) << saveOut;
        EXPECT_NE(saveOut.find("--control-folder"), std::string::npos) << saveOut;
        EXPECT_FALSE(std::filesystem::exists(victim));
        const auto [loaded, loadOut] =
            CtlAsNobody(copies, {address, "load", (dir / "secret").string()});
        EXPECT_EQ(loaded, 1);
        EXPECT_EQ(loadOut.find("top-secret"), std::string::npos) << loadOut;
    }
    {
        Process sim({"--quiet", "--control-folder", dir.string()});
        const std::string address = AddressFrom(sim.Line());
        ASSERT_FALSE(address.empty());
        for (const std::string& name : {victim.string(), std::string("../escape.json")}) {
            const auto [status, out] = CtlAsNobody(copies, {address, "save", name});
            EXPECT_EQ(status, 1) << name << ": " << out;
        }
        EXPECT_FALSE(std::filesystem::exists(victim));
        EXPECT_FALSE(std::filesystem::exists(dir.parent_path() / "escape.json"));
        // Inside the folder, by name: a parse error says where, not what.
        const auto [loaded, loadOut] = CtlAsNobody(copies, {address, "load", "secret"});
        EXPECT_EQ(loaded, 1);
        EXPECT_EQ(loadOut.find("top-secret"), std::string::npos) << loadOut;
        const auto [saved, saveOut] = CtlAsNobody(copies, {address, "save", "state.json"});
        EXPECT_EQ(saved, 0) << saveOut;
        EXPECT_TRUE(std::filesystem::is_regular_file(dir / "state.json"));
    }
    std::filesystem::remove_all(dir);
}

// The state file was saved through the name FILE.tmp<pid>, which another
// user could prepare as a link to a file of root's. A planted link is
// neither followed nor replaced.
TEST(Program, StateSaveFollowsNoLinkAnotherUserPlanted) {
    char pattern[] = "/tmp/kpm-sim-shared-XXXXXX";
    const std::filesystem::path dir = ::mkdtemp(pattern);
    ASSERT_EQ(::chmod(dir.c_str(), 01777), 0);  // a shared folder, as /tmp is
    const std::filesystem::path victim = dir / "root-owned";
    std::ofstream(victim) << "precious\n";
    const std::filesystem::path file = dir / "printer.json";
    Process sim({"--state", file.string(), "--quiet"});
    ASSERT_FALSE(AddressFrom(sim.Line()).empty());
    const std::string link = file.string() + ".tmp" + std::to_string(sim.pid());
    ASSERT_EQ(std::system(
                  ("/usr/sbin/runuser -u nobody -- ln -s " + victim.string() + " " + link).c_str()),
              0);
    sim.Signal(SIGTERM);
    EXPECT_EQ(sim.Wait(), 0);
    std::ifstream in(victim);
    std::string kept;
    std::getline(in, kept);
    EXPECT_EQ(kept, "precious");
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(file)));
    std::ifstream saved(file);
    EXPECT_FALSE(nlohmann::json::parse(saved, nullptr, false).is_discarded());
    std::filesystem::remove_all(dir);
}

TEST(Program, HelpAndBadArguments) {
    const auto [helpStatus, help] = RunToEnd({"--help"});
    EXPECT_EQ(helpStatus, 0);
    EXPECT_NE(help.find("Usage: kpm-printer-sim"), std::string::npos);
    EXPECT_NE(help.find("drip:B/MS"), std::string::npos);

    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--frobnicate"},
                                               {"--fault", "nonsense"},
                                               {"--address", "not-an-address"},
                                               {"--log-block", "0"},
                                               {"--busy"}}) {
        const auto [status, out] = RunToEnd(args);
        EXPECT_EQ(status, 2) << args[0];
        EXPECT_NE(out.find("kpm-printer-sim: "), std::string::npos) << out;
    }
    const auto [ctlStatus, ctlOut] = RunToEnd({"ctl", "127.0.0.1"});
    EXPECT_EQ(ctlStatus, 2);
}

}  // namespace
