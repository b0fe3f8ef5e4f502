#include "bidi/protocol/decode.h"

#include <span>

#include "bidi/capi/error.h"
#include "bidi/protocol/packet_decoder.h"

namespace KpBidi {
namespace {

class RangeSource {
public:
    RangeSource(const unsigned char* first, const unsigned char* last) : pos_(first), end_(last) {}

    std::span<const unsigned char> Window() const {
        return {pos_, static_cast<std::size_t>(end_ - pos_)};
    }
    void Consume(std::size_t count) { pos_ += count; }
    const unsigned char* position() const { return pos_; }

private:
    const unsigned char* pos_;
    const unsigned char* end_;
};

class StreamSource {
public:
    explicit StreamSource(BasicInputStream& input) : buf_(input.buffer()) {}

    std::span<const unsigned char> Window() { return buf_.Window(); }
    void Consume(std::size_t count) { buf_.Consume(count); }

private:
    BasicStreamBuf& buf_;
};

// The first `limit` bytes of a stream: one network payload read in place.
class BoundedStreamSource {
public:
    BoundedStreamSource(BasicInputStream& input, std::size_t limit)
        : buf_(input.buffer()), left_(limit) {}

    std::span<const unsigned char> Window() {
        if (left_ == 0) {
            return {};
        }
        const auto window = buf_.Window();
        return window.first(std::min(window.size(), left_));
    }
    void Consume(std::size_t count) {
        buf_.Consume(count);
        left_ -= count;
    }
    std::size_t left() const { return left_; }

private:
    BasicStreamBuf& buf_;
    std::size_t left_;
};

// What one kept command costs beyond its data: its prefix on the wire.
constexpr std::size_t kCommandOverhead = 8;

template <class Source>
Packet DecodeWhole(detail::PacketDecoder<Source>& decoder, bool allowShortFooter,
                   std::size_t limit = kNoReplyLimit) {
    Packet packet;
    packet.header = decoder.ReadHeader();
    std::uint16_t code = 0;
    std::uint32_t length = 0;
    std::size_t held = 0;
    while (decoder.NextCommand(code, length)) {
        // Refused on the announced length, before any of the data is read.
        held += kCommandOverhead + length;
        if (held > limit) {
            detail::Malformed();
        }
        PacketCommand command;
        command.code = code;
        decoder.ReadData(command.data, length);
        packet.commands.push_back(std::move(command));
    }
    packet.footer = decoder.ReadFooter(allowShortFooter);
    return packet;
}

}  // namespace

std::pair<Packet, const char*> ParsePacket(const char* first, const char* last) {
    RangeSource source(reinterpret_cast<const unsigned char*>(first),
                       reinterpret_cast<const unsigned char*>(last));
    detail::PacketDecoder decoder(source);
    Packet packet = DecodeWhole(decoder, true);
    return {std::move(packet), reinterpret_cast<const char*>(source.position())};
}

std::vector<Packet> DecodeNetworkPayload(const std::vector<unsigned char>& payload) {
    std::vector<Packet> packets;
    const char* pos = reinterpret_cast<const char*>(payload.data());
    const char* const end = pos + payload.size();
    while (pos != end) {
        try {
            auto [packet, next] = ParsePacket(pos, end);
            packets.push_back(std::move(packet));
            pos = next;
        } catch (const Error&) {
            break;
        }
    }
    return packets;
}

Packet ReadPacket(BasicInputStream& input, std::size_t limit) {
    StreamSource source(input);
    detail::PacketDecoder decoder(source);
    return DecodeWhole(decoder, false, limit);
}

void ReadNetworkPackets(BasicInputStream& input, std::size_t limit,
                        const std::function<void(Packet&&)>& take) {
    const std::uint32_t length = ReadNetworkEnvelopeHeader(input);
    if (length > limit) {
        detail::Malformed();
    }
    BoundedStreamSource source(input, length);
    detail::PacketDecoder decoder(source);
    for (;;) {
        try {
            take(DecodeWhole(decoder, true));
        } catch (const Error& e) {
            // The padding after the last packet ends the payload's packets,
            // as in DecodeNetworkPayload; any other error is the transport's.
            if (e.code != InvalidResponse) {
                throw;
            }
            break;
        }
    }
    decoder.SkipData(static_cast<std::uint32_t>(source.left()));
}

std::size_t StreamPacket(BasicInputStream& input, std::uint32_t requestId,
                         const CommandHandler& handler) {
    StreamSource source(input);
    detail::PacketDecoder decoder(source);
    const PacketHeader header = decoder.ReadHeader();
    const bool wanted = header.id == requestId;
    std::size_t handed = 0;
    std::uint16_t code = 0;
    std::uint32_t length = 0;
    std::vector<unsigned char> scratch;
    while (decoder.NextCommand(code, length)) {
        if (!wanted) {
            decoder.SkipData(length);
            continue;
        }
        decoder.UseData(length, scratch, [&](std::span<const unsigned char> data) {
            handler(CommandView{code, data});
        });
        ++handed;
    }
    decoder.ReadFooter(false);
    return handed;
}

std::vector<unsigned char> ReadNetworkMessage(BasicInputStream& input) {
    StreamSource source(input);
    detail::PacketDecoder decoder(source);
    const std::uint32_t length = decoder.ReadEnvelopeHeader();
    std::vector<unsigned char> payload;
    decoder.ReadData(payload, length);
    return payload;
}

std::uint32_t ReadNetworkEnvelopeHeader(BasicInputStream& input) {
    StreamSource source(input);
    detail::PacketDecoder decoder(source);
    return decoder.ReadEnvelopeHeader();
}

}  // namespace KpBidi
