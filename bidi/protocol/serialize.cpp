#include "bidi/protocol/serialize.h"

#include "bidi/protocol/wire.h"

namespace KpBidi {

std::vector<unsigned char> SerializePacket(const Packet& packet) {
    std::vector<unsigned char> out;
    out.reserve(wire::kSerializeReserve);
    out.resize(wire::kLeadingZeros, 0);

    out.insert(out.end(), wire::kHeaderMarker.begin(), wire::kHeaderMarker.end());
    out.push_back(packet.header.kind);
    out.push_back(packet.header.subkind);
    out.push_back(0x00);
    wire::PutU32(out, packet.header.id);
    out.resize(out.size() + 20, 0);

    for (const PacketCommand& command : packet.commands) {
        out.push_back(wire::kCommandTag);
        out.push_back(wire::kCommandTag);
        wire::PutU16(out, command.code);
        wire::PutU32(out, static_cast<std::uint32_t>(command.data.size()));
        out.insert(out.end(), command.data.begin(), command.data.end());
    }

    out.insert(out.end(), wire::kFooterMarker.begin(), wire::kFooterMarker.end());
    out.push_back(packet.footer.kind);
    out.push_back(0x00);
    out.push_back(0x00);
    wire::PutU32(out, packet.footer.id);
    out.resize(out.size() + 4, 0);

    const std::size_t padding = wire::kPaddingBlock - (out.size() % wire::kPaddingBlock);
    out.resize(out.size() + padding + wire::kPaddingBlock, 0);
    return out;
}

std::vector<unsigned char> WrapNetworkMessage(const std::vector<unsigned char>& packetBytes) {
    std::vector<unsigned char> out;
    out.reserve(wire::kEnvelopeHeaderSize + packetBytes.size());
    out.push_back(wire::kEnvelopeTag);
    out.push_back(wire::kEnvelopeTag);
    out.push_back(0x00);
    out.push_back(0x00);
    wire::PutU32(out, static_cast<std::uint32_t>(packetBytes.size()));
    out.insert(out.end(), packetBytes.begin(), packetBytes.end());
    return out;
}

}  // namespace KpBidi
