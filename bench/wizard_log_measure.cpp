// wizard_log_measure [ROUNDS]
//
// A 64 MiB log fetched by the wizard's log pages (Next on the folder step,
// the fetch page streaming into a file) and by `kpbidi fetch-log`, one after
// the other in each round, from one simulator over one print queue; prints
// the times, their ratio, and the wizard's resident memory before and at
// its peak during each fetch. Run by hand, not by ctest: it needs
// CUPS_SERVER naming a private cupsd, which `bench/measure-wizard-log`
// starts around it.
#include <QApplication>
#include <QTest>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "app/tovik_sheet.h"
#include "app/tovik_tool_app.h"
#include "tests/support/process.h"
#include "tests/support/recording_message_service.h"
#include "tools/printer-sim/loopback.h"
#include "ui/property_page.h"
#include "workflows/log/log2_page.h"
#include "workflows/wizard_pages.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::uint64_t kLogSize = 64ull << 20;

// Starts the peak resident memory (VmHWM) afresh.
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// The kB value of a line of /proc/PID/status, -1 when it cannot be read.
long ProcessStatusKb(pid_t pid, const char* key) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::strtol(line.c_str() + std::strlen(key) + 1, nullptr, 10);
        }
    }
    return -1;
}

// Runs the program to its end; true when it exits with 0. `peakKb` gets its
// peak resident memory as last seen while it ran (the kernel's figure for
// an exited child counts the memory of the parent it was spawned from).
bool Run(std::vector<std::string> args, long* peakKb = nullptr) {
    const pid_t pid = kpm::test::StartProcess(std::move(args));
    if (pid <= 0) {
        return false;
    }
    int status = 0;
    long peak = -1;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        peak = std::max(peak, ProcessStatusKb(pid, "VmHWM:"));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (peakKb != nullptr) {
        *peakKb = peak;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double Seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
    if (std::getenv("CUPS_SERVER") == nullptr) {
        std::fprintf(stderr, "wizard_log_measure: CUPS_SERVER must name a private cupsd\n");
        return 2;
    }

    // The simulator as its own process, so that its memory is not counted.
    const std::string address = kpm::sim::PickFreeLoopbackAddress({48000, 9100, 48100});
    const pid_t simulator = kpm::test::StartProcess(
        {KPM_PRINTER_SIM, "--address", address, "--quiet", "--log-size", std::to_string(kLogSize)});
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const std::string queue = "kpm-measure-" + std::to_string(getpid());
    if (simulator < 0 || !Run({kpm::test::FindProgram("lpadmin"), "-p", queue, "-E", "-v",
                               "socket://" + address + ":9100", "-P", KPM_PPD})) {
        std::fprintf(stderr, "wizard_log_measure: no simulator or queue\n");
        return 1;
    }

    char folderTemplate[] = "/tmp/kpm-measure-XXXXXX";
    const fs::path folder = mkdtemp(folderTemplate);
    testing_support::RecordingMessageService messages;
    CTovikToolApp tool(messages, 1033);
    int failures = 0;
    {
        CTovikSheet sheet(messages, kpm::workflows::WizardPages());
        sheet.SetPrinterName(QString::fromStdString(queue));
        sheet.show();
        QTest::qWait(1500);  // past the main page's search
        auto* fetch = dynamic_cast<CLog2Page*>(
            sheet.GetPage(sheet.GetPageIndexByTemplate(kpm::ids::IDD_LOG2)));
        bool finished = false;
        bool saved = false;
        QObject::connect(fetch, &CLog2Page::fetchFinished, [&](bool ok) {
            finished = true;
            saved = ok;
        });

        std::printf("%-6s %10s %10s %7s %12s %12s %12s\n", "round", "kpbidi s", "wizard s", "ratio",
                    "kpbidi peak", "wizard RSS", "wizard peak");
        for (int round = 1; round <= rounds; ++round) {
            const fs::path cliFile = folder / "cli.log";
            auto start = Clock::now();
            long cliPeak = 0;
            const bool cliOk =
                Run({KPM_KPBIDI, "-p", queue, "fetch-log", cliFile.string()}, &cliPeak);
            const double cli = Seconds(start);

            sheet.SetActivePage(sheet.GetPageIndexByTemplate(201));
            sheet.GetActivePage()->SetItemText(1133, QString::fromStdString(folder.string()));
            QTest::qWait(100);
            finished = false;
            ResetPeak();
            const long before = ProcessStatusKb(getpid(), "VmRSS:");
            start = Clock::now();
            sheet.PressNext();
            const bool done = QTest::qWaitFor([&] { return finished; }, 600000);
            const double wizard = Seconds(start);
            const long peak = ProcessStatusKb(getpid(), "VmHWM:");

            const fs::path wizardFile = sheet.GetLogFile().toStdString();
            const bool same = cliOk && done && saved && fs::file_size(cliFile) == kLogSize &&
                              Run({"/usr/bin/cmp", "-s", cliFile.string(), wizardFile.string()});
            std::printf("%-6d %10.3f %10.3f %7.2f %9ld kB %9ld kB %9ld kB%s\n", round, cli, wizard,
                        wizard / cli, cliPeak, before, peak,
                        same ? "" : "  (files differ or failed)");
            std::fflush(stdout);
            failures += same ? 0 : 1;
            fs::remove(cliFile);
            fs::remove(wizardFile);
        }
    }
    fs::remove_all(folder);
    Run({kpm::test::FindProgram("lpadmin"), "-x", queue});
    kill(simulator, SIGTERM);
    waitpid(simulator, nullptr, 0);
    return failures == 0 ? 0 : 1;
}
