// The in-memory model of a packet: header, commands, footer.
#pragma once

#include <cstdint>
#include <vector>

#include "bidi/protocol/command.h"

namespace KpBidi {

struct PacketHeader {
    std::uint8_t kind = 0x0C;
    std::uint8_t subkind = 0x43;
    std::uint32_t id = 0;
};

struct PacketFooter {
    std::uint8_t kind = 0x00;
    std::uint32_t id = 0;
};

// A command as a packet holds it. expectsReply is not on the wire: in an
// outgoing packet it tells the exchange how many reply commands complete the
// answer; decoded packets leave it false.
struct PacketCommand : Command {
    bool expectsReply = false;
};

struct Packet {
    PacketHeader header;
    std::vector<PacketCommand> commands;
    PacketFooter footer;

    // Number of commands the printer is expected to answer.
    std::size_t ExpectedReplies() const noexcept;
};

// An empty request of the command protocol: kind 0x0C, subkind 0x43, footer
// kind 0x00, the id in header and footer.
Packet MakeRequest(std::uint32_t id);

// Appends a command that expects a reply.
void AddCommand(Packet& packet, std::uint16_t code, std::vector<unsigned char> data);

}  // namespace KpBidi
