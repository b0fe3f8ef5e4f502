// Reply packets as the printer writes them: the byte layout of the frames,
// produced piece by piece into a sink, so that a reply of hundreds of
// megabytes (the log) never exists in memory at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "bidi/protocol/command.h"
#include "bidi/protocol/packet.h"
#include "tools/printer-sim/log_content.h"

namespace kpm::sim {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void Write(const unsigned char* data, std::size_t size) = 0;
};

// Collects everything; for tests and small replies.
class VectorSink : public ByteSink {
public:
    void Write(const unsigned char* data, std::size_t size) override {
        bytes.insert(bytes.end(), data, data + size);
    }
    std::vector<unsigned char> bytes;
};

// The log blocks of one reply, produced when written.
class LogCommands {
public:
    LogCommands(std::shared_ptr<const LogContent> content, LogPlan plan)
        : content_(std::move(content)), plan_(std::move(plan)) {}

    std::size_t count() const noexcept { return plan_.entries.size(); }
    // Length of the value of command i (block header and log bytes).
    std::uint32_t DataSize(std::size_t i) const noexcept;
    void WriteData(std::size_t i, ByteSink& sink) const;

    const LogPlan& plan() const noexcept { return plan_; }

private:
    std::shared_ptr<const LogContent> content_;
    LogPlan plan_;
};

// One reply packet. The eager commands come first, then log blocks
// [logFirst, logFirst + logCount) of `log`.
struct OutPacket {
    KpBidi::PacketHeader header;
    KpBidi::PacketFooter footer;
    std::vector<KpBidi::Command> commands;
    std::shared_ptr<const LogCommands> log;
    std::size_t logFirst = 0;
    std::size_t logCount = 0;

    // Faults: a footer marker ending in 0x23 instead of 0x24; the packet cut
    // off after this many bytes.
    bool badFooter = false;
    std::optional<std::uint64_t> cutAt;

    std::size_t CommandCount() const noexcept { return commands.size() + logCount; }
};

// Bytes the packet occupies on the wire (after any cut).
std::uint64_t PacketSize(const OutPacket& packet);
// Size up to and including the footer, before padding and cut.
std::uint64_t PacketSizeToFooter(const OutPacket& packet);
void WritePacket(const OutPacket& packet, ByteSink& sink);

}  // namespace kpm::sim
