// Fetching a 256 MiB log from the printer simulator over loopback through
// kpbidi_fetch_log into a file, beside a plain TCP read of the same reply
// bytes from the same simulator, in one run. The simulator runs as its own
// process, so the peak resident memory measured here is the fetch's alone.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "bidi/capi/handle.h"
#include "bidi/capi/kpbidi.h"
#include "bidi/communications/linux/host_printer.h"
#include "bidi/protocol/command.h"
#include "bidi/protocol/serialize.h"
#include "tests/support/process.h"
#include "tools/printer-sim/loopback.h"

namespace {

constexpr std::uint64_t kLogSize = 256ull << 20;
constexpr std::uint32_t kLogBlock = 4096;

// The simulator program on a free loopback address, for the whole run.
class SimulatorProcess {
public:
    SimulatorProcess() {
        address_ = kpm::sim::PickFreeLoopbackAddress({48000, 9100, 48100});
        pid_ = kpm::test::StartProcess({KPM_PRINTER_SIM, "--address", address_, "--quiet",
                                        "--log-size", std::to_string(kLogSize), "--log-block",
                                        std::to_string(kLogBlock)});
        if (pid_ < 0) {
            throw std::runtime_error("cannot start the simulator");
        }
        for (int i = 0; i < 500 && !Accepting(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ~SimulatorProcess() {
        kill(pid_, SIGTERM);
        kpm::test::WaitProcess(pid_);
    }
    const std::string& address() const { return address_; }

    int Connect() const {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(48000);
        inet_pton(AF_INET, address_.c_str(), &to.sin_addr);
        if (connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
            close(fd);
            return -1;
        }
        return fd;
    }

private:
    bool Accepting() const {
        const int fd = Connect();
        if (fd >= 0) {
            close(fd);
        }
        return fd >= 0;
    }

    std::string address_;
    pid_t pid_ = -1;
};

const SimulatorProcess& Sim() {
    static const SimulatorProcess sim;
    return sim;
}

std::size_t ProcStatusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::stoul(line.substr(std::string(field).size()));
        }
    }
    return 0;
}

// Lets VmHWM start again from the current resident size.
void ResetPeakResident() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_PlainTcpRead(benchmark::State& state) {
    KpBidi::Packet request = KpBidi::MakeRequest(42);
    KpBidi::AddCommand(request, KpBidi::CommandCode::FetchLog, std::vector<unsigned char>(8, 0));
    const std::vector<unsigned char> bytes =
        KpBidi::WrapNetworkMessage(KpBidi::SerializePacket(request));
    std::vector<char> buffer(1 << 20);
    std::uint64_t replyBytes = 0;
    for (auto _ : state) {
        const int fd = Sim().Connect();
        if (fd < 0 || send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) < 0) {
            state.SkipWithError("cannot reach the simulator");
            break;
        }
        replyBytes = 0;
        for (ssize_t n; (n = recv(fd, buffer.data(), buffer.size(), 0)) > 0;) {
            replyBytes += static_cast<std::uint64_t>(n);
        }
        close(fd);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kLogSize));
    state.counters["reply_MiB"] = static_cast<double>(replyBytes) / (1 << 20);
}

void BM_FetchLogToFile(benchmark::State& state) {
    kpbidi_printer_tag* printer = KpBidi::capi::AdoptPrinter(
        std::make_unique<KpBidi::communications::linux::HostPrinter>(Sim().address()), nullptr);
    // In memory (tmpfs), so the disk's write-back speed does not stand in for
    // the library's; KPM_BENCH_DIR chooses another folder.
    const char* dir = std::getenv("KPM_BENCH_DIR");
    const std::string path =
        std::string(dir ? dir : "/dev/shm") + "/kpm-log-bench-" + std::to_string(getpid());
    std::size_t peakAboveBaseline = 0;
    for (auto _ : state) {
        FILE* file = std::fopen(path.c_str(), "wb");
        std::setvbuf(file, nullptr, _IOFBF, 1 << 16);
        ResetPeakResident();
        const std::size_t baseline = ProcStatusKiB("VmRSS:");
        kpbidi_error_tag error{};
        kpbidi_fetch_log(
            printer,
            [](void* context, const unsigned char* data, size_t size) {
                return std::fwrite(data, 1, size, static_cast<FILE*>(context)) == size;
            },
            file, &error);
        const std::size_t peak = ProcStatusKiB("VmHWM:");
        std::fclose(file);
        if (error.code != 0) {
            state.SkipWithError("fetch failed");
            break;
        }
        peakAboveBaseline = std::max(peakAboveBaseline, peak > baseline ? peak - baseline : 0);
    }
    std::remove(path.c_str());
    kpbidi_close_printer(printer);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kLogSize));
    state.counters["peak_above_baseline_MiB"] = static_cast<double>(peakAboveBaseline) / 1024;
}

}  // namespace

BENCHMARK(BM_PlainTcpRead)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_FetchLogToFile)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

BENCHMARK_MAIN();
