// The log reply (command 35): one packet of code-6 blocks, its orders and
// faults, and a large log streamed without being held in memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <numeric>
#include <string>

#include "tests/tools/printer-sim/wire_client.h"
#include "tools/printer-sim/log_content.h"
#include "tools/printer-sim/simulator.h"

namespace {

using namespace kpm::wire_test;
using kpm::sim::LogContent;
using kpm::sim::LogOrder;
using kpm::sim::LogSettings;
using kpm::sim::Options;
using kpm::sim::Simulator;

struct Block {
    std::uint32_t count = 0;
    std::uint32_t sequence = 0;
    bool last = false;
    Bytes bytes;
};

std::vector<Block> FetchBlocks(const std::string& address, std::uint32_t id = 0x10C) {
    const auto envelopes = DecodeEnvelopes(Exchange(address, id, {C(35)}));
    EXPECT_EQ(envelopes.size(), 1u);
    EXPECT_EQ(envelopes.at(0).size(), 1u);
    const ReplyPacket& packet = envelopes.at(0).at(0);
    EXPECT_EQ(packet.id, id);
    std::vector<Block> blocks;
    for (const Cmd& c : packet.commands) {
        EXPECT_EQ(c.code, 6);
        Block b;
        b.count = Be32At(c.data, 0);
        b.sequence = Be32At(c.data, 4);
        const std::uint32_t n = Be32At(c.data, 8);
        b.last = c.data.at(12) != 0;
        EXPECT_EQ(c.data.at(13) | c.data.at(14) | c.data.at(15), 0);
        EXPECT_EQ(c.data.size(), 16u + n);
        b.bytes.assign(c.data.begin() + 16, c.data.end());
        blocks.push_back(std::move(b));
    }
    return blocks;
}

Options WithLog(std::uint64_t size, std::uint32_t blockSize, LogOrder order = LogOrder::InOrder) {
    Options o;
    o.state.log.size = size;
    o.state.log.blockSize = blockSize;
    o.state.log.order = order;
    return o;
}

std::vector<std::uint32_t> Sequences(const std::vector<Block>& blocks) {
    std::vector<std::uint32_t> s;
    for (const Block& b : blocks) {
        s.push_back(b.sequence);
    }
    return s;
}

TEST(Log, BlocksInOrderCarryTheWholeLogAndFlagTheLastOne) {
    Simulator sim(WithLog(10000, 512));
    const auto blocks = FetchBlocks(sim.address());
    ASSERT_EQ(blocks.size(), 20u);  // 19 full blocks and 272 bytes
    std::string log;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        EXPECT_EQ(blocks[i].sequence, i);
        EXPECT_EQ(blocks[i].count, 20u);
        EXPECT_EQ(blocks[i].last, i == 19);
        EXPECT_EQ(blocks[i].bytes.size(), i == 19 ? 272u : 512u);
        log.append(blocks[i].bytes.begin(), blocks[i].bytes.end());
    }
    EXPECT_EQ(log, LogContent(sim.state().log).ReadAll());
    // Lines of text, each ending in a line feed.
    EXPECT_EQ(log.substr(0, 20), "2023-01-01 00:00:00 ");
    EXPECT_EQ(log[63], '\n');
    EXPECT_EQ(log.substr(64, 31), "2023-01-01 00:00:13 #0000000002");
}

TEST(Log, ConfiguredOrdersAreUsed) {
    {
        Simulator sim(WithLog(5 * 100, 100, LogOrder::Reverse));
        EXPECT_EQ(Sequences(FetchBlocks(sim.address())),
                  (std::vector<std::uint32_t>{4, 3, 2, 1, 0}));
    }
    {
        Simulator sim(WithLog(5 * 100, 100, LogOrder::Pairs));
        const auto blocks = FetchBlocks(sim.address());
        EXPECT_EQ(Sequences(blocks), (std::vector<std::uint32_t>{1, 0, 3, 2, 4}));
        EXPECT_TRUE(blocks.back().last);
        EXPECT_FALSE(blocks.front().last);
    }
    {
        Simulator sim(WithLog(64 * 100, 100, LogOrder::Shuffle));
        auto sequences = Sequences(FetchBlocks(sim.address()));
        std::vector<std::uint32_t> sorted(64);
        std::iota(sorted.begin(), sorted.end(), 0u);
        EXPECT_NE(sequences, sorted);
        std::sort(sequences.begin(), sequences.end());
        EXPECT_EQ(sequences, sorted);
    }
}

TEST(Log, FaultsRepeatLeaveOutAndDropTheLastFlag) {
    Simulator sim(WithLog(6 * 10, 10));
    sim.AddFault("log-repeat:2x1");
    EXPECT_EQ(Sequences(FetchBlocks(sim.address())),
              (std::vector<std::uint32_t>{0, 1, 2, 2, 3, 4, 5}));
    sim.AddFault("log-gap:4x1");
    EXPECT_EQ(Sequences(FetchBlocks(sim.address())), (std::vector<std::uint32_t>{0, 1, 2, 3, 5}));
    sim.AddFault("log-gap@35x1");  // default: the middle block
    EXPECT_EQ(Sequences(FetchBlocks(sim.address())), (std::vector<std::uint32_t>{0, 1, 2, 4, 5}));
    sim.AddFault("log-no-lastx1");
    const auto blocks = FetchBlocks(sim.address());
    EXPECT_EQ(blocks.size(), 6u);
    EXPECT_TRUE(std::none_of(blocks.begin(), blocks.end(), [](const Block& b) { return b.last; }));
    // Used up: the next fetch is whole again.
    const auto whole = FetchBlocks(sim.address());
    EXPECT_EQ(whole.size(), 6u);
    EXPECT_TRUE(whole.back().last);
}

TEST(Log, EmptyLogIsOneEmptyFinalBlockAndTextLogsTravelVerbatim) {
    Simulator sim(WithLog(0, 512));
    const auto empty = FetchBlocks(sim.address());
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_EQ(empty[0].sequence, 0u);
    EXPECT_TRUE(empty[0].last);
    EXPECT_TRUE(empty[0].bytes.empty());

    sim.UpdateState([](auto& s) {
        s.log.text = std::string("line one\nline two\n\0binary\xff", 26);
        s.log.blockSize = 8;
    });
    std::string got;
    for (const Block& b : FetchBlocks(sim.address())) {
        got.append(b.bytes.begin(), b.bytes.end());
    }
    EXPECT_EQ(got, std::string("line one\nline two\n\0binary\xff", 26));
}

TEST(LogContent, AnyRangeEqualsTheSameBytesOfTheWholeLog) {
    LogSettings settings;
    settings.size = 100000;
    settings.seed = 7;
    const LogContent content(settings);
    const std::string all = content.ReadAll();
    for (const auto& [offset, count] : {std::pair<std::uint64_t, std::size_t>{0, 1},
                                        {63, 2},
                                        {64, 64},
                                        {1000, 4097},
                                        {99999, 1},
                                        {100000, 0}}) {
        std::string part(count, '\0');
        content.Read(offset, reinterpret_cast<unsigned char*>(part.data()), count);
        EXPECT_EQ(part, all.substr(offset, count)) << offset;
    }
    EXPECT_THROW(content.Read(99999, reinterpret_cast<unsigned char*>(&settings), 2),
                 std::out_of_range);
    settings.seed = 8;
    EXPECT_NE(LogContent(settings).ReadAll(), all);
}

// Reads a socket piece by piece, as a client with little memory would.
class Reader {
public:
    explicit Reader(int fd) : fd_(fd) {}

    Bytes Take(std::size_t n) {
        Bytes out;
        TakeInto(out, n);
        return out;
    }
    // Into a buffer the caller reuses, so reading allocates nothing.
    void TakeInto(Bytes& out, std::size_t n) {
        out.clear();
        while (out.size() < n) {
            Fill();
            const std::size_t k = std::min(n - out.size(), end_ - pos_);
            out.insert(out.end(), buffer_.begin() + static_cast<long>(pos_),
                       buffer_.begin() + static_cast<long>(pos_ + k));
            pos_ += k;
        }
    }
    void Skip(std::size_t n) {
        while (n > 0) {
            Fill();
            const std::size_t k = std::min(n, end_ - pos_);
            pos_ += k;
            n -= k;
        }
    }
    bool AtEnd() {
        if (pos_ < end_) {
            return false;
        }
        const ssize_t got = ::recv(fd_, buffer_.data(), buffer_.size(), 0);
        pos_ = 0;
        end_ = got > 0 ? static_cast<std::size_t>(got) : 0;
        return got <= 0;
    }

private:
    void Fill() {
        if (pos_ < end_) {
            return;
        }
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 20000) <= 0) {
            throw std::runtime_error("reply stalled");
        }
        const ssize_t got = ::recv(fd_, buffer_.data(), buffer_.size(), 0);
        if (got <= 0) {
            throw std::runtime_error("reply ended early");
        }
        pos_ = 0;
        end_ = static_cast<std::size_t>(got);
    }
    int fd_;
    Bytes buffer_ = Bytes(1 << 16);
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
};

std::size_t PeakResidentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stoul(line.substr(6));
        }
    }
    return 0;
}

TEST(Log, SixtyFourMebibytesStreamWithBoundedMemory) {
    constexpr std::uint64_t kSize = 64ull << 20;
    constexpr std::uint32_t kBlock = 64 * 1024;
    Simulator sim(WithLog(kSize, kBlock));
    const LogContent expected(sim.state().log);
    const std::size_t before = PeakResidentKiB();

    Connection c(sim.address(), 48000);
    c.Send(Envelope(RequestPacket(77, {C(35)})));
    Reader r(c.fd());
    const Bytes envelope = r.Take(8);
    const std::uint32_t m = Be32At(envelope, 4);
    const std::uint64_t blocks = kSize / kBlock;
    const std::uint64_t toFooter = 2432 + 32 + blocks * (8 + 16 + kBlock) + 16;
    EXPECT_EQ(m, toFooter + 2048 - toFooter % 2048 + 2048);
    r.Skip(2432 + 32);
    Bytes want(kBlock);
    Bytes prefix;
    Bytes got;
    prefix.reserve(8 + 16);
    got.reserve(kBlock);
    for (std::uint64_t i = 0; i < blocks; ++i) {
        r.TakeInto(prefix, 8 + 16);
        ASSERT_EQ(prefix[0], 0x23);
        ASSERT_EQ(Be32At(prefix, 4), 16 + kBlock);
        ASSERT_EQ(Be32At(prefix, 12), i);
        ASSERT_EQ(prefix[20], i + 1 == blocks ? 1 : 0);
        r.TakeInto(got, kBlock);
        expected.Read(i * kBlock, want.data(), kBlock);
        ASSERT_EQ(got, want) << "block " << i;
    }
    const Bytes footer = r.Take(16);
    EXPECT_EQ(footer[4], 0x24);
    r.Skip(m - toFooter);
    EXPECT_TRUE(r.AtEnd());

    // Client and simulator together: far below the log's 64 MiB.
    EXPECT_LT(PeakResidentKiB() - before, 16u * 1024) << "KiB";
}

}  // namespace
