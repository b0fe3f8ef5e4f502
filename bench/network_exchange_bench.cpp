// One complete network operation against the printer simulator on a
// loopback address: the echo test, the TCP connection, a GetPrinterInfo
// request (commands 22 and 108) and its reply, as every wizard operation on
// a network printer runs it. Each repetition times a single operation, so
// the aggregates are over 1000 operations; the median is the figure to read.
// The parts are timed alone beside it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bidi/communications/linux/network_connector.h"
#include "bidi/protocol/exchange.h"
#include "bidi/protocol/printer.h"
#include "tools/printer-sim/simulator.h"

namespace {

using KpBidi::communications::linux::NetworkConnector;

constexpr int kOperations = 1000;

kpm::sim::Simulator& Sim() {
    static kpm::sim::Simulator sim;
    return sim;
}

// A printer reached at a fixed host, as printer resolution hands it out.
class HostPrinter : public KpBidi::Printer {
public:
    explicit HostPrinter(std::string host) : host_(std::move(host)) {}
    std::string GetName() override { return host_; }
    std::unique_ptr<KpBidi::communications::Connector> CreateConnector() override {
        return std::make_unique<NetworkConnector>(host_);
    }

private:
    std::string host_;
};

double Percentile(const std::vector<double>& v, double p) {
    std::vector<double> s(v);
    std::sort(s.begin(), s.end());
    return s[static_cast<std::size_t>(p * static_cast<double>(s.size() - 1))];
}
double P90(const std::vector<double>& v) {
    return Percentile(v, 0.90);
}
double P99(const std::vector<double>& v) {
    return Percentile(v, 0.99);
}

template <class B>
B* PerOperation(B* b) {
    return b->Iterations(1)
        ->Repetitions(kOperations)
        ->ReportAggregatesOnly(true)
        ->ComputeStatistics("p90", P90)
        ->ComputeStatistics("p99", P99)
        ->Unit(benchmark::kMicrosecond);
}

// Echo, connect, request, reply: the whole operation.
void BM_GetPrinterInfo(benchmark::State& state) {
    HostPrinter printer(Sim().address());
    for (auto _ : state) {
        const KpBidi::PrinterInfo info = printer.GetPrinterInfo();
        if (info.status != 0) {
            state.SkipWithError("the printer answered a non-zero status");
        }
        benchmark::DoNotOptimize(info);
    }
}
BENCHMARK(BM_GetPrinterInfo)->Apply([](benchmark::internal::Benchmark* b) { PerOperation(b); });

// The echo test alone.
void BM_EchoOnly(benchmark::State& state) {
    NetworkConnector connector(Sim().address());
    for (auto _ : state) {
        if (!connector.IsAvailable()) {
            state.SkipWithError("no echo reply");
        }
    }
}
BENCHMARK(BM_EchoOnly)->Apply([](benchmark::internal::Benchmark* b) { PerOperation(b); });

// Connect, request and reply without the echo test before it.
class NoEcho : public NetworkConnector {
public:
    using NetworkConnector::NetworkConnector;
    bool IsAvailable() override { return true; }
};

void BM_ExchangeWithoutEcho(benchmark::State& state) {
    NoEcho connector(Sim().address());
    for (auto _ : state) {
        KpBidi::Packet request = KpBidi::MakeRequest(KpBidi::MakePacketId());
        KpBidi::AddCommand(request, KpBidi::CommandCode::Status, std::vector<unsigned char>(8, 0));
        KpBidi::AddCommand(request, KpBidi::CommandCode::GetPrinterInfo,
                           std::vector<unsigned char>(8, 0));
        benchmark::DoNotOptimize(KpBidi::ExchangePackets(connector, request));
    }
}
BENCHMARK(BM_ExchangeWithoutEcho)->Apply([](benchmark::internal::Benchmark* b) {
    PerOperation(b);
});

}  // namespace

BENCHMARK_MAIN();
