#include "tools/printer-sim/packet_writer.h"

#include <algorithm>
#include <array>

#include "bidi/protocol/wire.h"

namespace kpm::sim {
namespace {

namespace wire = KpBidi::wire;

// Stops passing bytes on after `limit`; the writer checks `full` to stop
// producing the rest.
class CuttingSink : public ByteSink {
public:
    CuttingSink(ByteSink& inner, std::uint64_t limit) : inner_(inner), left_(limit) {}

    void Write(const unsigned char* data, std::size_t size) override {
        const auto take = static_cast<std::size_t>(std::min<std::uint64_t>(size, left_));
        if (take > 0) {
            inner_.Write(data, take);
            left_ -= take;
        }
    }
    bool full() const noexcept { return left_ == 0; }

private:
    ByteSink& inner_;
    std::uint64_t left_;
};

void WriteZeros(ByteSink& sink, std::uint64_t count) {
    static const std::array<unsigned char, 4096> zeros{};
    while (count > 0) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(count, zeros.size()));
        sink.Write(zeros.data(), n);
        count -= n;
    }
}

void WriteCommandPrefix(ByteSink& sink, std::uint16_t code, std::uint32_t length) {
    unsigned char prefix[wire::kCommandPrefixSize] = {wire::kCommandTag, wire::kCommandTag};
    wire::SetU16(prefix + 2, code);
    wire::SetU32(prefix + 4, length);
    sink.Write(prefix, sizeof prefix);
}

std::uint64_t PaddingAfter(std::uint64_t lengthToFooter) {
    return wire::kPaddingBlock - lengthToFooter % wire::kPaddingBlock + wire::kPaddingBlock;
}

}  // namespace

std::uint32_t LogCommands::DataSize(std::size_t i) const noexcept {
    return static_cast<std::uint32_t>(kLogBlockHeaderSize) +
           plan_.BlockLength(plan_.entries[i].sequence);
}

void LogCommands::WriteData(std::size_t i, ByteSink& sink) const {
    const LogPlan::Entry& entry = plan_.entries[i];
    unsigned char header[kLogBlockHeaderSize];
    PutLogBlockHeader(header, plan_, entry);
    sink.Write(header, sizeof header);

    std::uint64_t offset = std::uint64_t{entry.sequence} * plan_.blockSize;
    std::uint32_t left = plan_.BlockLength(entry.sequence);
    std::array<unsigned char, 64 * 1024> chunk;
    while (left > 0) {
        const std::size_t n = std::min<std::size_t>(left, chunk.size());
        content_->Read(offset, chunk.data(), n);
        sink.Write(chunk.data(), n);
        offset += n;
        left -= static_cast<std::uint32_t>(n);
    }
}

std::uint64_t PacketSizeToFooter(const OutPacket& packet) {
    std::uint64_t size = wire::kLeadingZeros + wire::kHeaderSize + wire::kFooterSize;
    for (const KpBidi::Command& c : packet.commands) {
        size += wire::kCommandPrefixSize + c.data.size();
    }
    for (std::size_t i = 0; i < packet.logCount; ++i) {
        size += wire::kCommandPrefixSize + packet.log->DataSize(packet.logFirst + i);
    }
    return size;
}

std::uint64_t PacketSize(const OutPacket& packet) {
    const std::uint64_t toFooter = PacketSizeToFooter(packet);
    const std::uint64_t full = toFooter + PaddingAfter(toFooter);
    return packet.cutAt ? std::min(full, *packet.cutAt) : full;
}

void WritePacket(const OutPacket& packet, ByteSink& out) {
    CuttingSink sink(out, packet.cutAt.value_or(UINT64_MAX));

    WriteZeros(sink, wire::kLeadingZeros);
    std::array<unsigned char, wire::kHeaderSize> header{};
    std::copy(wire::kHeaderMarker.begin(), wire::kHeaderMarker.end(), header.begin());
    header[5] = packet.header.kind;
    header[6] = packet.header.subkind;
    wire::SetU32(header.data() + 8, packet.header.id);
    sink.Write(header.data(), header.size());

    for (const KpBidi::Command& c : packet.commands) {
        WriteCommandPrefix(sink, c.code, static_cast<std::uint32_t>(c.data.size()));
        sink.Write(c.data.data(), c.data.size());
    }
    for (std::size_t i = 0; i < packet.logCount && !sink.full(); ++i) {
        const std::size_t index = packet.logFirst + i;
        WriteCommandPrefix(sink, KpBidi::ReplyCode::LogBlock, packet.log->DataSize(index));
        packet.log->WriteData(index, sink);
    }
    if (sink.full()) {
        return;
    }

    std::array<unsigned char, wire::kFooterSize> footer{};
    std::copy(wire::kFooterMarker.begin(), wire::kFooterMarker.end(), footer.begin());
    if (packet.badFooter) {
        footer[4] = 0x23;
    }
    footer[5] = packet.footer.kind;
    wire::SetU32(footer.data() + 8, packet.footer.id);
    sink.Write(footer.data(), footer.size());
    WriteZeros(sink, PaddingAfter(PacketSizeToFooter(packet)));
}

}  // namespace kpm::sim
