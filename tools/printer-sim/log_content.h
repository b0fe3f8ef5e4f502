// The printer's operating log: a byte sequence that is never held in memory
// as a whole. Generated logs are fixed-width text lines computed from their
// line number and a seed, so any byte range can be produced on demand and
// tests can recompute what they should have received.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/printer-sim/printer_state.h"

namespace kpm::sim {

class LogContent {
public:
    static constexpr std::size_t kLineSize = 64;

    explicit LogContent(const LogSettings& settings);

    std::uint64_t size() const noexcept { return size_; }

    // Copies bytes [offset, offset + count) of the log to out; the range must
    // lie within the log.
    void Read(std::uint64_t offset, unsigned char* out, std::size_t count) const;

    // Whole log as a string; for tests and small logs only.
    std::string ReadAll() const;

private:
    void Line(std::uint64_t number, unsigned char* out) const;

    std::uint64_t size_;
    std::uint32_t seed_;
    std::string text_;
    bool generated_;
};

// Which log blocks one reply carries, in which order, and whether the final
// one is flagged. Blocks are numbered from 0; block i holds log bytes
// [i * blockSize, min(size, (i + 1) * blockSize)). An empty log is one empty
// block.
struct LogPlan {
    struct Entry {
        std::uint32_t sequence = 0;
        bool last = false;
    };

    std::uint64_t logSize = 0;
    std::uint32_t blockSize = 1;
    std::uint32_t blockCount = 1;
    std::vector<Entry> entries;

    std::uint32_t BlockLength(std::uint32_t sequence) const noexcept;
};

// Deviations a fault asks for on top of the configured order.
struct LogDeviation {
    bool shuffle = false;  // deliver in a shuffled order (with shuffleSeed)
    std::uint32_t shuffleSeed = 1;
    bool omitLastFlag = false;
    std::optional<std::uint32_t> repeat;  // this block travels twice, back to back
    std::optional<std::uint32_t> gap;     // this block is left out
};

// Never more than this many blocks: a tiny block size for a huge log is
// raised until the log fits, so the plan stays small.
inline constexpr std::uint32_t kMaxLogBlocks = 1u << 24;

LogPlan MakeLogPlan(std::uint64_t logSize, const LogSettings& settings,
                    const LogDeviation& deviation = {});

// Value of the log block command carrying `sequence` (without its log bytes):
// 4 bytes block count, sequence, length, last flag, 3 zero bytes.
inline constexpr std::size_t kLogBlockHeaderSize = 16;
void PutLogBlockHeader(unsigned char* out, const LogPlan& plan, const LogPlan::Entry& entry);

}  // namespace kpm::sim
