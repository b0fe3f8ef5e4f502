#include "bidi/protocol/log_fetch.h"

#include <gtest/gtest.h>

#include <chrono>

#include "tests/support/fake_printer.h"

namespace {

using KpBidi::communications::NetworkProtocol;
using KpBidi::communications::UsbProtocol;
using kpm::test::Bytes;
using kpm::test::ErrorCode;
using kpm::test::FakePrinter;

struct Block {
    std::uint32_t sequence;
    Bytes bytes;
    bool last = false;
};

Bytes BlockValue(const Block& b) {
    Bytes v{0xAA, 0xBB, 0xCC, 0xDD};  // not interpreted
    kpm::test::PutBe32(v, b.sequence);
    kpm::test::PutBe32(v, static_cast<std::uint32_t>(b.bytes.size()));
    v.push_back(b.last ? 1 : 0);
    v.insert(v.end(), {0, 0, 0});
    v.insert(v.end(), b.bytes.begin(), b.bytes.end());
    return v;
}

FakePrinter LogPrinter(const std::vector<Block>& blocks, int protocol = NetworkProtocol) {
    std::vector<std::pair<std::uint16_t, Bytes>> commands;
    for (const Block& b : blocks) {
        commands.emplace_back(6, BlockValue(b));
    }
    return FakePrinter(protocol, FakePrinter::Replying(commands));
}

// Runs a fetch; returns the chunks delivered and the error code (0 on success).
std::pair<std::vector<Bytes>, int> Fetch(
    FakePrinter& printer, int stopAfter = -1,
    std::chrono::steady_clock::duration blockWait = KpBidi::kLogBlockWait) {
    std::vector<Bytes> chunks;
    KpBidi::Bidi bidi(printer);
    const int code = ErrorCode([&] {
        bidi.FetchLog(
            [&](const unsigned char* data, std::size_t size) {
                chunks.emplace_back(data, data + size);
                return stopAfter < 0 || static_cast<int>(chunks.size()) < stopAfter;
            },
            blockWait);
    });
    return {chunks, code};
}

const Bytes A{'a', 'a'}, B{'b'}, C{'c', 'c', 'c'};

TEST(FetchLog, RequestIsCommand35Alone) {
    FakePrinter printer = LogPrinter({{0, A, true}}, UsbProtocol);
    Fetch(printer);
    ASSERT_EQ(printer.requests.size(), 1u);
    EXPECT_EQ(printer.requests[0].commands,
              (std::vector<std::pair<std::uint16_t, Bytes>>{{35, Bytes(8, 0)}}));
}

TEST(FetchLog, BlocksAreDeliveredInSequenceOrder) {
    const std::vector<Bytes> inOrder{A, B, C};
    for (const auto& order : std::vector<std::vector<Block>>{
             {{0, A}, {1, B}, {2, C, true}},
             {{1, B}, {0, A}, {2, C, true}},
             {{0, A}, {2, C, true}, {1, B}},
             {{2, C, true}, {1, B}, {0, A}},
         }) {
        for (int protocol : {UsbProtocol, NetworkProtocol}) {
            FakePrinter printer = LogPrinter(order, protocol);
            auto [chunks, code] = Fetch(printer);
            EXPECT_EQ(code, 0);
            EXPECT_EQ(chunks, inOrder);
        }
    }
}

TEST(FetchLog, MissingFinalBlockIs1006AfterDeliveringWhatCame) {
    FakePrinter noLast = LogPrinter({{0, A}, {1, B}});
    auto [chunks, code] = Fetch(noLast);
    EXPECT_EQ(code, 1006);
    EXPECT_EQ(chunks, (std::vector<Bytes>{A, B}));

    // A gap: block 2 is parked and never delivered.
    FakePrinter gap = LogPrinter({{0, A}, {2, C, true}});
    auto [gapChunks, gapCode] = Fetch(gap);
    EXPECT_EQ(gapCode, 1006);
    EXPECT_EQ(gapChunks, (std::vector<Bytes>{A}));

    FakePrinter none(NetworkProtocol, FakePrinter::Replying({{22, Bytes(16, 0)}}));
    EXPECT_EQ(Fetch(none).second, 1006);
}

TEST(FetchLog, RepeatedBlockIsParkedAndHoldsBackLaterEarlyBlocks) {
    // 0, repeat of 0, 2 early: the repeat is the lowest parked block, so 2 is
    // not drained when 1 arrives; the final block is never delivered.
    FakePrinter printer = LogPrinter({{0, A}, {0, A}, {2, C, true}, {1, B}});
    auto [chunks, code] = Fetch(printer);
    EXPECT_EQ(chunks, (std::vector<Bytes>{A, B}));
    EXPECT_EQ(code, 1006);

    // A repeat after the end does no harm.
    FakePrinter late = LogPrinter({{0, A}, {1, B, true}, {0, A}});
    EXPECT_EQ(Fetch(late).second, 0);
}

TEST(FetchLog, StoppedFetchReadsToTheEndAndSucceeds) {
    FakePrinter printer = LogPrinter({{0, A}, {1, B}, {2, C, true}});
    auto [chunks, code] = Fetch(printer, 1);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(chunks, (std::vector<Bytes>{A}));

    FakePrinter truncated = LogPrinter({{0, A}, {1, B}});
    EXPECT_EQ(Fetch(truncated, 1).second, 1006);
}

TEST(FetchLog, EmptyFinalBlockAndForeignCommands) {
    FakePrinter printer(NetworkProtocol,
                        FakePrinter::Replying({{22, Bytes(4, 0)}, {6, BlockValue({0, {}, true})}}));
    auto [chunks, code] = Fetch(printer);
    EXPECT_EQ(code, 0);
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_TRUE(chunks[0].empty());
}

TEST(FetchLog, ShortBlocksAre1006) {
    Bytes shortHeader = BlockValue({0, A, true});
    shortHeader.resize(15);
    FakePrinter a(NetworkProtocol, FakePrinter::Replying({{6, shortHeader}}));
    EXPECT_EQ(Fetch(a).second, 1006);

    Bytes shortData = BlockValue({0, A, true});
    shortData.pop_back();
    FakePrinter b(NetworkProtocol, FakePrinter::Replying({{6, shortData}}));
    EXPECT_EQ(Fetch(b).second, 1006);

    // Extra bytes beyond n are not log bytes.
    Bytes extra = BlockValue({0, A, true});
    extra.push_back('x');
    FakePrinter c(NetworkProtocol, FakePrinter::Replying({{6, extra}}));
    auto [chunks, code] = Fetch(c);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(chunks, (std::vector<Bytes>{A}));
}

TEST(FetchLog, ParkedBlocksAreBounded) {
    // Early blocks of 1 MiB each beyond the parking limit, never block 0.
    const std::size_t blockSize = 1 << 20;
    const std::size_t count = KpBidi::kMaxParkedLogBytes / blockSize + 1;
    FakePrinter printer(NetworkProtocol, [&](const kpm::test::Request& r) {
        std::vector<std::pair<std::uint16_t, Bytes>> commands;
        for (std::size_t i = 0; i < count; ++i) {
            commands.emplace_back(
                6, BlockValue({static_cast<std::uint32_t>(i + 1), Bytes(blockSize, 'x')}));
        }
        return kpm::test::ReplyPacketBytes(r.headerId, commands);
    });
    EXPECT_EQ(Fetch(printer).second, 1006);
}

// Each read returns within its own time-out, so only the bound on whole
// blocks ends a printer that trickles its reply.
TEST(FetchLog, NoWholeBlockWithinTheBoundIs1005) {
    using namespace std::chrono_literals;
    const Bytes big(200, 'x');
    for (int protocol : {UsbProtocol, NetworkProtocol}) {
        // About 7 s for the whole reply, a byte every 10 ms.
        FakePrinter trickle = LogPrinter({{0, big}, {1, big}, {2, big, true}}, protocol);
        trickle.readChunk = 1;
        trickle.readPause = 10ms;
        const auto start = std::chrono::steady_clock::now();
        auto [chunks, code] = Fetch(trickle, -1, 150ms);
        EXPECT_EQ(code, 1005) << protocol;
        EXPECT_TRUE(chunks.empty());
        EXPECT_LT(std::chrono::steady_clock::now() - start, 3s) << "it waited for the reply";
    }

    // Whole blocks in time keep the fetch going, however long it takes.
    std::vector<Block> blocks;
    for (std::uint32_t i = 0; i < 12; ++i) {
        blocks.push_back({i, Bytes(16, 'y'), i == 11});
    }
    FakePrinter steady = LogPrinter(blocks);
    steady.readChunk = 40;  // about one block a read
    steady.readPause = 100ms;
    const auto start = std::chrono::steady_clock::now();
    auto [chunks, code] = Fetch(steady, -1, 1s);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(chunks.size(), 12u);
    EXPECT_GT(std::chrono::steady_clock::now() - start, 1s);
}

TEST(FetchLog, CallbackExceptionEndsTheFetch) {
    FakePrinter printer = LogPrinter({{0, A}, {1, B, true}});
    KpBidi::Bidi bidi(printer);
    EXPECT_THROW(bidi.FetchLog([](const unsigned char*, std::size_t) -> bool {
        throw std::runtime_error("disk full");
    }),
                 std::runtime_error);
}

}  // namespace
