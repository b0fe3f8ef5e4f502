// How fast the printer simulator streams a log reply over loopback, so that
// benchmarks of the log fetch know the simulator is not what they measure.
#include <benchmark/benchmark.h>

#include <poll.h>
#include <sys/socket.h>

#include <vector>

#include "bidi/protocol/serialize.h"
#include "tools/printer-sim/simulator.h"
#include "tools/printer-sim/socket.h"

namespace {

void BM_SimulatorLogStream(benchmark::State& state) {
    kpm::sim::Options options;
    options.state.log.size = static_cast<std::uint64_t>(state.range(0)) << 20;
    options.state.log.blockSize = static_cast<std::uint32_t>(state.range(1));
    kpm::sim::Simulator sim(options);

    KpBidi::Packet request = KpBidi::MakeRequest(1);
    KpBidi::AddCommand(request, KpBidi::CommandCode::FetchLog, std::vector<unsigned char>(8, 0));
    const auto bytes = KpBidi::WrapNetworkMessage(KpBidi::SerializePacket(request));
    std::vector<unsigned char> buffer(1 << 20);
    kpm::sim::StopSignal never;

    std::uint64_t total = 0;
    for (auto _ : state) {
        kpm::sim::UniqueFd fd = kpm::sim::ConnectTcp(sim.address(), kpm::sim::kProtocolPort);
        kpm::sim::WriteAll(fd.get(), bytes.data(), bytes.size(), never);
        for (;;) {
            const ssize_t n = ::recv(fd.get(), buffer.data(), buffer.size(), 0);
            if (n <= 0) {
                break;
            }
            total += static_cast<std::uint64_t>(n);
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(total));
}
BENCHMARK(BM_SimulatorLogStream)
    ->Args({64, 512})
    ->Args({64, 65536})
    ->Args({256, 65536})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
