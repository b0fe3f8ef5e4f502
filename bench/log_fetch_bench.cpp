// Fetching a 256 MiB log from the printer simulator over loopback through
// kpbidi_fetch_log into a file, beside a plain TCP read of the same reply
// bytes from the same simulator into a file, in one run. Both put what they
// read into a file the same way, since that is what a user of the log needs:
// the plain read is the least a fetch can cost, not a read that skips the
// writing. The simulator runs as its own process, so the peak resident
// memory measured here is the fetch's alone.
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

// Where both benchmarks write: in memory (tmpfs), so the disk's write-back
// speed does not stand in for the library's; KPM_BENCH_DIR chooses another
// folder.
std::string OutputPath(const char* name) {
    const char* dir = std::getenv("KPM_BENCH_DIR");
    return std::string(dir ? dir : "/dev/shm") + "/kpm-" + name + "-bench-" +
           std::to_string(getpid());
}

// A file written through stdio in 256 KiB pieces, the pieces the wizard
// writes its log in. setvbuf must be given the buffer itself: given none,
// glibc ignores the size and buffers st_blksize bytes (4 KiB on tmpfs), one
// write() for every log block.
class OutputFile {
public:
    static constexpr std::size_t kBufferSize = 256 << 10;

    explicit OutputFile(const std::string& path)
        : buffer_(kBufferSize), file_(std::fopen(path.c_str(), "wb")) {
        if (file_ != nullptr) {
            std::setvbuf(file_, buffer_.data(), _IOFBF, buffer_.size());
        }
    }
    ~OutputFile() { Close(); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    FILE* get() const { return file_; }
    bool Write(const void* data, std::size_t size) {
        return std::fwrite(data, 1, size, file_) == size;
    }
    // Writes the rest; false when anything failed.
    bool Close() {
        if (file_ == nullptr) {
            return false;
        }
        const bool ok = std::fclose(file_) == 0;
        file_ = nullptr;
        return ok;
    }

private:
    std::vector<char> buffer_;
    FILE* file_;
};

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
    const std::string path = OutputPath("tcp-read");
    std::uint64_t replyBytes = 0;
    for (auto _ : state) {
        OutputFile file(path);
        const int fd = Sim().Connect();
        if (file.get() == nullptr || fd < 0 ||
            send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) < 0) {
            state.SkipWithError("cannot reach the simulator or open the file");
            break;
        }
        replyBytes = 0;
        bool written = true;
        for (ssize_t n; (n = recv(fd, buffer.data(), buffer.size(), 0)) > 0;) {
            replyBytes += static_cast<std::uint64_t>(n);
            written = file.Write(buffer.data(), static_cast<std::size_t>(n)) && written;
        }
        close(fd);
        if (!file.Close() || !written) {
            state.SkipWithError("cannot write the file");
            break;
        }
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kLogSize));
    state.counters["reply_MiB"] = static_cast<double>(replyBytes) / (1 << 20);
}

void BM_FetchLogToFile(benchmark::State& state) {
    kpbidi_printer_tag* printer = KpBidi::capi::AdoptPrinter(
        std::make_unique<KpBidi::communications::linux::HostPrinter>(Sim().address()), nullptr);
    const std::string path = OutputPath("log-fetch");
    std::size_t peakAboveBaseline = 0;
    for (auto _ : state) {
        OutputFile file(path);
        if (file.get() == nullptr) {
            state.SkipWithError("cannot open the file");
            break;
        }
        ResetPeakResident();
        const std::size_t baseline = ProcStatusKiB("VmRSS:");
        kpbidi_error_tag error{};
        kpbidi_fetch_log(
            printer,
            [](void* context, const unsigned char* data, size_t size) {
                return static_cast<OutputFile*>(context)->Write(data, size);
            },
            &file, &error);
        const std::size_t peak = ProcStatusKiB("VmHWM:");
        const bool written = file.Close();
        if (error.code != 0 || !written) {
            state.SkipWithError(error.code != 0 ? "fetch failed" : "cannot write the file");
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
