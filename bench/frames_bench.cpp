// Encoding and decoding a packet that carries one 8 MiB command, beside a
// plain memcpy of the same bytes, and the decoder's peak extra memory.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "bidi/communications/stream_buf.h"
#include "bidi/protocol/decode.h"
#include "bidi/protocol/exchange.h"
#include "bidi/protocol/serialize.h"

namespace {

// Live heap bytes and their high-water mark, to measure the decoder's extra
// memory. Sized deletes give us the size back without a header.
std::atomic<std::size_t> gLive{0};
std::atomic<std::size_t> gPeak{0};

}  // namespace

void* operator new(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    const std::size_t live = gLive.fetch_add(size) + size;
    std::size_t peak = gPeak.load();
    while (live > peak && !gPeak.compare_exchange_weak(peak, live)) {
    }
    return p;
}
void operator delete(void* p, std::size_t size) noexcept {
    gLive.fetch_sub(size);
    std::free(p);
}
// Unsized deletes come only from code that did not know the size; none of
// the measured paths use them, so they are not counted.
void operator delete(void* p) noexcept {
    std::free(p);
}

namespace {

constexpr std::size_t kCommandSize = 8u << 20;

// An in-memory printer: hands out its bytes as fast as they are asked for.
class MemoryStream : public KpBidi::communications::Stream {
public:
    explicit MemoryStream(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}
    bool Write(const unsigned char*, std::int32_t) override { return true; }
    std::int64_t Read(std::vector<unsigned char>& buffer, bool& ok) override {
        const std::size_t n = std::min(buffer.size(), bytes_.size() - pos_);
        std::memcpy(buffer.data(), bytes_.data() + pos_, n);
        pos_ += n;
        ok = true;
        return static_cast<std::int64_t>(n);
    }

private:
    const std::vector<unsigned char>& bytes_;
    std::size_t pos_ = 0;
};

KpBidi::Packet BigPacket() {
    KpBidi::Packet packet = KpBidi::MakeRequest(1234);
    std::vector<unsigned char> data(kCommandSize);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<unsigned char>(i * 131);
    }
    KpBidi::AddCommand(packet, 7, std::move(data));
    return packet;
}

void BM_Memcpy(benchmark::State& state) {
    const std::vector<unsigned char> from(kCommandSize, 0x5A);
    std::vector<unsigned char> to(kCommandSize);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kCommandSize));
}

void BM_Serialize(benchmark::State& state) {
    const KpBidi::Packet packet = BigPacket();
    for (auto _ : state) {
        auto bytes = KpBidi::SerializePacket(packet);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kCommandSize));
}

void BM_ReadPacket(benchmark::State& state) {
    const std::vector<unsigned char> bytes = KpBidi::SerializePacket(BigPacket());
    const auto bufferSize = static_cast<std::size_t>(state.range(0));
    std::size_t extra = 0;
    for (auto _ : state) {
        MemoryStream stream(bytes);
        KpBidi::BasicInputStream input(&stream, bufferSize);
        const std::size_t before = gLive.load();
        gPeak.store(before);
        KpBidi::Packet packet = KpBidi::ReadPacket(input);
        benchmark::DoNotOptimize(packet.commands.data());
        extra = std::max(extra, gPeak.load() - before);
        if (packet.commands.at(0).data.size() != kCommandSize) {
            state.SkipWithError("decoded the wrong size");
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kCommandSize));
    state.counters["extra_MiB"] = static_cast<double>(extra) / (1 << 20);
    state.counters["extra_x_command"] = static_cast<double>(extra) / kCommandSize;
}

}  // namespace

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Serialize)->Unit(benchmark::kMillisecond);
// The network read buffer, and the USB default read size.
BENCHMARK(BM_ReadPacket)
    ->Arg(static_cast<std::int64_t>(KpBidi::kNetworkReadBufferSize))
    ->Arg(512)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
