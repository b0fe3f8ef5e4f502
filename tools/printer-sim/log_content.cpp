#include "tools/printer-sim/log_content.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <stdexcept>

#include "bidi/protocol/wire.h"

namespace kpm::sim {
namespace {

constexpr const char* kEvents[] = {
    "POWER ON",           "SELF TEST OK",    "STANDBY",
    "JOB RECEIVED",       "PRINT START",     "PRINT END",
    "HEAD CLEANING",      "NOZZLE CHECK",    "WHITE INK CIRCULATION",
    "PLATEN INITIALISED", "FILM FEED",       "COVER OPEN",
    "COVER CLOSED",       "INK LOW MAGENTA", "INK LOW WHITE",
    "WASTE INK 37%",      "HEAD TEMP 31C",   "FIRMWARE CHECK",
};
constexpr std::size_t kEventCount = sizeof kEvents / sizeof kEvents[0];

std::uint64_t Mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

void PutDigits(unsigned char* out, std::uint64_t value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        out[i] = static_cast<unsigned char>('0' + value % 10);
        value /= 10;
    }
}

}  // namespace

LogContent::LogContent(const LogSettings& settings)
    : size_(settings.text ? settings.text->size() : settings.size),
      seed_(settings.seed),
      text_(settings.text.value_or(std::string())),
      generated_(!settings.text) {}

// "2023-01-01 00:00:13 #0000000001 E004 JOB RECEIVED      ...\n", 64 bytes:
// a time that advances 13 s per line, the line number, an event.
void LogContent::Line(std::uint64_t number, unsigned char* out) const {
    std::memset(out, ' ', kLineSize);
    constexpr std::int64_t kDays1970To2023 = 19358;
    const std::uint64_t seconds = number * 13;
    const std::chrono::year_month_day date{std::chrono::sys_days{
        std::chrono::days{kDays1970To2023 + static_cast<std::int64_t>(seconds / 86400)}}};
    const auto year = static_cast<std::int64_t>(static_cast<int>(date.year()));
    const auto month = static_cast<unsigned>(date.month());
    const auto day = static_cast<unsigned>(date.day());
    const std::uint64_t rest = seconds % 86400;
    PutDigits(out, static_cast<std::uint64_t>(year % 10000), 4);
    out[4] = '-';
    PutDigits(out + 5, month, 2);
    out[7] = '-';
    PutDigits(out + 8, day, 2);
    PutDigits(out + 11, rest / 3600, 2);
    out[13] = ':';
    PutDigits(out + 14, rest / 60 % 60, 2);
    out[16] = ':';
    PutDigits(out + 17, rest % 60, 2);
    out[20] = '#';
    PutDigits(out + 21, (number + 1) % 10000000000ull, 10);
    const std::uint64_t event = Mix((std::uint64_t{seed_} << 40) ^ number) % kEventCount;
    out[32] = 'E';
    PutDigits(out + 33, event, 3);
    const char* text = kEvents[event];
    std::memcpy(out + 37, text, std::min<std::size_t>(std::strlen(text), kLineSize - 38));
    out[kLineSize - 1] = '\n';
}

void LogContent::Read(std::uint64_t offset, unsigned char* out, std::size_t count) const {
    if (offset > size_ || count > size_ - offset) {
        throw std::out_of_range("log range beyond its end");
    }
    if (!generated_) {
        std::memcpy(out, text_.data() + offset, count);
        return;
    }
    unsigned char line[kLineSize];
    while (count > 0) {
        const std::uint64_t number = offset / kLineSize;
        const std::size_t within = offset % kLineSize;
        const std::size_t take = std::min(count, kLineSize - within);
        if (within == 0 && take == kLineSize) {
            Line(number, out);
        } else {
            Line(number, line);
            std::memcpy(out, line + within, take);
        }
        out += take;
        offset += take;
        count -= take;
    }
}

std::string LogContent::ReadAll() const {
    std::string all(size_, '\0');
    Read(0, reinterpret_cast<unsigned char*>(all.data()), all.size());
    return all;
}

std::uint32_t LogPlan::BlockLength(std::uint32_t sequence) const noexcept {
    const std::uint64_t start = std::uint64_t{sequence} * blockSize;
    if (start >= logSize) {
        return 0;
    }
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(blockSize, logSize - start));
}

LogGeometry MakeLogGeometry(std::uint64_t logSize, std::uint32_t requested) {
    std::uint64_t blockSize = std::max<std::uint32_t>(requested, 1);
    const std::uint64_t minimum = (logSize + kMaxLogBlocks - 1) / kMaxLogBlocks;
    blockSize = std::min<std::uint64_t>(std::max(blockSize, minimum), 0xFFFFFFFFu);
    const std::uint64_t count = logSize == 0 ? 1 : (logSize + blockSize - 1) / blockSize;
    return {static_cast<std::uint32_t>(blockSize), static_cast<std::uint32_t>(count)};
}

LogPlan MakeLogPlan(std::uint64_t logSize, const LogSettings& settings,
                    const LogDeviation& deviation) {
    LogPlan plan;
    plan.logSize = logSize;
    const LogGeometry geometry = MakeLogGeometry(logSize, settings.blockSize);
    plan.blockSize = geometry.blockSize;
    plan.blockCount = geometry.blockCount;

    std::vector<std::uint32_t> order(plan.blockCount);
    for (std::uint32_t i = 0; i < plan.blockCount; ++i) {
        order[i] = i;
    }
    const LogOrder kind = deviation.shuffle ? LogOrder::Shuffle : settings.order;
    const std::uint32_t seed = deviation.shuffle ? deviation.shuffleSeed : settings.seed;
    switch (kind) {
        case LogOrder::InOrder:
            break;
        case LogOrder::Reverse:
            std::reverse(order.begin(), order.end());
            break;
        case LogOrder::Pairs:
            for (std::size_t i = 0; i + 1 < order.size(); i += 2) {
                std::swap(order[i], order[i + 1]);
            }
            break;
        case LogOrder::Shuffle: {
            std::mt19937 engine(seed);
            std::shuffle(order.begin(), order.end(), engine);
            break;
        }
    }

    plan.entries.reserve(order.size() + 1);
    for (const std::uint32_t sequence : order) {
        if (deviation.gap && *deviation.gap == sequence) {
            continue;
        }
        const bool last = sequence == plan.blockCount - 1 && !deviation.omitLastFlag;
        plan.entries.push_back({sequence, last});
        if (deviation.repeat && *deviation.repeat == sequence) {
            plan.entries.push_back({sequence, last});
        }
    }
    return plan;
}

void PutLogBlockHeader(unsigned char* out, const LogPlan& plan, const LogPlan::Entry& entry) {
    const std::uint32_t words[3] = {plan.blockCount, entry.sequence,
                                    plan.BlockLength(entry.sequence)};
    for (int w = 0; w < 3; ++w) {
        KpBidi::wire::SetU32(out + 4 * w, words[w]);
    }
    out[12] = entry.last ? 1 : 0;
    out[13] = out[14] = out[15] = 0;
}

}  // namespace kpm::sim
