#include "bidi/protocol/packet.h"

namespace KpBidi {

std::size_t Packet::ExpectedReplies() const noexcept {
    std::size_t count = 0;
    for (const PacketCommand& command : commands) {
        count += command.expectsReply ? 1 : 0;
    }
    return count;
}

Packet MakeRequest(std::uint32_t id) {
    Packet packet;
    packet.header = PacketHeader{0x0C, 0x43, id};
    packet.footer = PacketFooter{0x00, id};
    return packet;
}

void AddCommand(Packet& packet, std::uint16_t code, std::vector<unsigned char> data) {
    PacketCommand command;
    command.code = code;
    command.data = std::move(data);
    command.expectsReply = true;
    packet.commands.push_back(std::move(command));
}

}  // namespace KpBidi
