// What `make run` does once the build is done (scripts/run), on a machine
// without a display: it must come up behind its VNC server on a loopback
// address, show the wizard there (with the printers it lists, read back over
// the accessibility bus), stop on TERM, and leave nothing behind.
#include <fcntl.h>
#include <rfb/rfbclient.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/app/accessibility_bus.h"
#include "tests/support/process.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The script's output, read line by line with a deadline.
class Output {
public:
    explicit Output(int fd) : file_(::fdopen(fd, "r")) {}
    ~Output() {
        if (file_ != nullptr) {
            std::fclose(file_);
        }
    }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    // Reads until a line matches `pattern`; false at end of output. The
    // script is killed by the test's deadline if it hangs, which ends it.
    bool Until(const std::regex& pattern, std::smatch& match) {
        char line[4096];
        while (file_ != nullptr && std::fgets(line, sizeof line, file_) != nullptr) {
            text_ += line;
            lines_.emplace_back(line);
            if (std::regex_search(lines_.back(), match, pattern)) {
                return true;
            }
        }
        return false;
    }
    void Rest() {
        char line[4096];
        while (file_ != nullptr && std::fgets(line, sizeof line, file_) != nullptr) {
            text_ += line;
        }
    }
    const std::string& text() const { return text_; }

private:
    FILE* file_;
    std::string text_;
    std::deque<std::string> lines_;  // a match refers into these
};

// scripts/run in a process group of its own, standard output and error on a
// pipe, without the caller's display.
struct RunScript {
    pid_t pid = -1;
    int out = -1;

    RunScript(const std::vector<std::string>& extra, const std::vector<std::string>& extraEnv) {
        std::vector<std::string> args{KPM_RUN_SCRIPT, KPM_BUILD_DIR};
        args.insert(args.end(), extra.begin(), extra.end());
        std::vector<std::string> env;
        for (char** e = environ; *e != nullptr; ++e) {
            const std::string entry = *e;
            if (entry.rfind("DISPLAY=", 0) != 0 && entry.rfind("WAYLAND_DISPLAY=", 0) != 0 &&
                entry.rfind("QT_QPA_PLATFORM=", 0) != 0) {
                env.push_back(entry);
            }
        }
        env.insert(env.end(), extraEnv.begin(), extraEnv.end());
        int pipeFds[2];
        if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attr, 0);
        std::vector<char*> argv = kpm::test::ArgvOf(args);
        std::vector<char*> envp = kpm::test::ArgvOf(env);
        if (::posix_spawn(&pid, argv[0], &actions, &attr, argv.data(), envp.data()) != 0) {
            pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attr);
        ::close(pipeFds[1]);
        out = pipeFds[0];
    }
    ~RunScript() {
        if (pid <= 0) {
            return;
        }
        // The test failed half-way: the script's own trap stops what it
        // started (the print server runs in a session of its own), and what
        // is left of its group goes after 10 s.
        ::kill(pid, SIGTERM);
        for (int i = 0; i < 100 && ::waitpid(pid, nullptr, WNOHANG) == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        ::kill(-pid, SIGKILL);
        kpm::test::WaitProcess(pid);  // at once if the loop reaped it
    }
    RunScript(const RunScript&) = delete;
    RunScript& operator=(const RunScript&) = delete;
};

// A process of the machine, from /proc/PID/stat.
struct ProcessInfo {
    pid_t pid = 0;
    pid_t parent = 0;
    char state = 0;    // 'Z': ended, not reaped yet
    std::string name;  // "PID (comm)"
};

std::vector<ProcessInfo> Processes() {
    std::vector<ProcessInfo> all;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string id = entry.path().filename();
        if (id.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        std::getline(stat, line);
        const auto close = line.rfind(')');
        ProcessInfo p;
        p.pid = std::stoi(id);
        int parent = 0;
        if (close != std::string::npos &&
            std::sscanf(line.c_str() + close + 1, " %c %d", &p.state, &parent) == 2) {
            p.parent = parent;
            p.name = line.substr(0, close + 1);
            all.push_back(p);
        }
    }
    return all;
}

// Processes whose parent is this test program (besides the script, every
// orphan of it, since the program is a subreaper), zombies reaped.
std::map<pid_t, std::string> OurLiveChildren() {
    while (::waitpid(-1, nullptr, WNOHANG) > 0) {
    }
    std::map<pid_t, std::string> children;
    for (const ProcessInfo& p : Processes()) {
        if (p.parent == ::getpid() && p.state != 'Z') {
            children[p.pid] = p.name;
        }
    }
    return children;
}

// The /tmp/kpm-run.* folders that the script's programs (its children, and
// the orphans it left to this subreaper) have files open in.
std::set<std::string> RunFoldersInUse(pid_t script) {
    std::set<std::string> folders;
    const std::string prefix = "/tmp/kpm-run.";
    for (const ProcessInfo& p : Processes()) {
        if (p.parent != script && p.parent != ::getpid()) {
            continue;
        }
        std::error_code error;
        const std::filesystem::path fds = "/proc/" + std::to_string(p.pid) + "/fd";
        for (const auto& fd : std::filesystem::directory_iterator(fds, error)) {
            const std::string target = std::filesystem::read_symlink(fd.path(), error).string();
            if (!error && target.rfind(prefix, 0) == 0) {
                folders.insert(target.substr(0, target.find('/', prefix.size())));
            }
        }
    }
    return folders;
}

// One full frame of the VNC server: 32-bit pixels.
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// libvncclient's progress messages; its errors still go to standard error.
void Quiet(const char*, ...) {}

// The tag under which the client carries the session's password.
int passwordTag;

char* SessionPassword(rfbClient* client) {
    const auto* password =
        static_cast<const std::string*>(rfbClientGetClientData(client, &passwordTag));
    return ::strdup(password != nullptr ? password->c_str() : "");
}

bool GrabFrame(const std::string& address, int port, const std::string& password, Frame& frame,
               std::string& why) {
    rfbClientLog = Quiet;
    rfbClient* client = rfbGetClient(8, 3, 4);
    client->serverHost = ::strdup(address.c_str());
    client->serverPort = port;
    rfbClientSetClientData(client, &passwordTag, const_cast<std::string*>(&password));
    client->GetPassword = SessionPassword;
    client->canHandleNewFBSize = FALSE;
    // rfbInitClient frees the client when it fails.
    if (!rfbInitClient(client, nullptr, nullptr)) {
        why = "no VNC session with " + address + ":" + std::to_string(port);
        return false;
    }
    std::unique_ptr<rfbClient, void (*)(rfbClient*)> owner(client, [](rfbClient* c) {
        std::free(c->frameBuffer);
        c->frameBuffer = nullptr;
        rfbClientCleanup(c);
    });
    if (!SendFramebufferUpdateRequest(client, 0, 0, client->width, client->height, FALSE)) {
        why = "the frame request was not sent";
        return false;
    }
    // The update is complete once the server has nothing more to send.
    const auto deadline = Clock::now() + 10s;
    bool got = false;
    while (Clock::now() < deadline) {
        const int ready = WaitForMessage(client, 300000);
        if (ready < 0) {
            why = "the VNC connection failed";
            return false;
        }
        if (ready == 0) {
            if (got) {
                break;
            }
            continue;
        }
        if (!HandleRFBServerMessage(client)) {
            why = "the VNC server's message could not be read";
            return false;
        }
        got = true;
    }
    if (!got) {
        why = "no frame within 10 s";
        return false;
    }
    frame.width = client->width;
    frame.height = client->height;
    const auto* pixels = reinterpret_cast<const uint32_t*>(client->frameBuffer);
    frame.pixels.assign(pixels, pixels + static_cast<size_t>(frame.width) * frame.height);
    return true;
}

// A window with text on it: many colours (anti-aliased glyphs), and no one
// colour covering nearly everything (an empty display is one colour).
bool ShowsAWindowWithText(const Frame& frame, std::string& why) {
    std::map<uint32_t, size_t> counts;
    for (const uint32_t p : frame.pixels) {
        ++counts[p & 0xFFFFFFu];
    }
    size_t most = 0;
    for (const auto& [colour, n] : counts) {
        most = std::max(most, n);
    }
    why = std::to_string(counts.size()) + " colours, the commonest on " +
          std::to_string(100 * most / std::max<size_t>(frame.pixels.size(), 1)) + "% of " +
          std::to_string(frame.width) + "x" + std::to_string(frame.height);
    return counts.size() >= 16 && most < frame.pixels.size() * 98 / 100;
}

struct Case {
    const char* name;
    std::vector<std::string> args;
    bool printer;        // a private print server and the simulator's queue
    const char* listed;  // what the main page's printer list shows
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class RunWithoutDisplay : public ::testing::TestWithParam<Case> {};

TEST_P(RunWithoutDisplay, ShowsTheWizardOverLoopbackVncAndStopsEverythingOnTerm) {
    for (const auto& [tool, package] : {std::pair{"Xvfb", "xvfb"}, std::pair{"x11vnc", "x11vnc"}}) {
        ASSERT_FALSE(kpm::test::FindProgram(tool).empty())
            << tool << " is missing: install the Debian package " << package;
    }
    ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    ASSERT_TRUE(OurLiveChildren().empty()) << "children of an earlier case are still running";
    kpm::test::AccessibilityBus a11y;
    ASSERT_EQ(a11y.error(), "");
    RunScript run(GetParam().args, a11y.Environment());
    ASSERT_GT(run.pid, 0) << "scripts/run did not start";
    Output output(run.out);
    // Should the script hang, this ends it (and with it the reads below).
    std::atomic<bool> done{false};
    std::thread watchdog([pid = run.pid, &done] {
        for (int i = 0; i < 1200 && !done; ++i) {
            std::this_thread::sleep_for(100ms);
        }
        if (!done) {
            ::kill(-pid, SIGKILL);
        }
    });
    struct Join {
        std::thread& t;
        std::atomic<bool>& done;
        ~Join() {
            done = true;
            t.join();
        }
    } join{watchdog, done};

    std::smatch m;
    if (GetParam().printer) {
        ASSERT_TRUE(output.Until(std::regex("print queue KPM-740-Simulator for a simulated printer "
                                            "on 127\\.[0-9.]+"),
                                 m))
            << output.text();
    }
    ASSERT_TRUE(output.Until(
        std::regex("shown by a VNC server on (127\\.[0-9]+\\.[0-9]+\\.[0-9]+):([0-9]+)\\."), m))
        << output.text();
    const std::string address = m[1];
    const int port = std::stoi(m[2]);
    ASSERT_TRUE(output.Until(std::regex("VNC password: +([0-9a-f]+)"), m)) << output.text();
    const std::string password = m[1];
    ASSERT_TRUE(output.Until(std::regex("run: starting the wizard"), m)) << output.text();

    // The wizard needs a moment to show its window, and the main page its
    // search: judge the first frame that shows a window and stays the same.
    Frame frame, previous;
    std::string why;
    bool shown = false;
    for (const auto deadline = Clock::now() + 60s; !shown && Clock::now() < deadline;) {
        std::this_thread::sleep_for(500ms);
        ASSERT_EQ(::kill(run.pid, 0), 0) << "scripts/run ended early:\n" << output.text();
        previous = std::move(frame);
        frame = {};
        if (GrabFrame(address, port, password, frame, why)) {
            shown = ShowsAWindowWithText(frame, why) && frame.pixels == previous.pixels;
        }
    }
    EXPECT_TRUE(shown) << why;

    // The list's current entry is what a screen reader says of it.
    std::vector<std::string> names;
    bool listed = false;
    for (const auto deadline = Clock::now() + 30s; !listed && Clock::now() < deadline;) {
        names = a11y.Names();
        listed = std::find(names.begin(), names.end(), GetParam().listed) != names.end();
        if (!listed) {
            std::this_thread::sleep_for(500ms);
        }
    }
    std::string seen;
    for (const std::string& n : names) {
        seen += "\n  " + n;
    }
    EXPECT_TRUE(listed) << GetParam().listed
                        << " is not among the names on the accessibility bus:" << seen;
    if (const char* keep = std::getenv("KPM_RUN_TEST_FRAME"); keep != nullptr) {
        std::ofstream ppm(std::string(keep) + "-" + GetParam().name + ".ppm", std::ios::binary);
        ppm << "P6\n" << frame.width << " " << frame.height << "\n255\n";
        for (const uint32_t p : frame.pixels) {
            ppm.put(static_cast<char>(p & 0xFF)).put(static_cast<char>((p >> 8) & 0xFF));
            ppm.put(static_cast<char>((p >> 16) & 0xFF));
        }
    }

    // The script's folder: the one its programs have files open in.
    const std::set<std::string> folders = RunFoldersInUse(run.pid);
    EXPECT_FALSE(folders.empty()) << "no program of scripts/run has a file open in /tmp/kpm-run.*";

    ASSERT_EQ(::kill(run.pid, SIGTERM), 0);
    const int status = kpm::test::WaitProcess(run.pid);
    run.pid = -1;
    done = true;
    a11y.Stop();
    output.Rest();
    EXPECT_EQ(status, 143) << output.text();

    std::map<pid_t, std::string> left;
    for (const auto deadline = Clock::now() + 10s; Clock::now() < deadline;) {
        left = OurLiveChildren();
        if (left.empty()) {
            break;
        }
        std::this_thread::sleep_for(100ms);
    }
    for (const auto& [pid, what] : left) {
        ADD_FAILURE() << "left running after TERM: " << what;
        ::kill(pid, SIGKILL);
        kpm::test::WaitProcess(pid);
    }
    for (const std::string& folder : folders) {
        EXPECT_FALSE(std::filesystem::exists(folder)) << folder << " was left behind";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RunWithoutDisplay,
    ::testing::Values(Case{"WithThePrinterSimulator", {}, true, "KPM-740-Simulator"},
                      Case{"Demo", {"-demo"}, false, "Virtual printer"}),
    [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

}  // namespace

// QtDBus, which reads the accessibility bus, wants an application object.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
