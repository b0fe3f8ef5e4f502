// Decoding packets from a byte range or from a printer's stream, and the
// network envelope. Every malformation raises Error(InvalidResponse);
// transport exceptions raised while a stream decoder reads pass through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "bidi/communications/stream_buf.h"
#include "bidi/protocol/packet.h"

namespace KpBidi {

// One packet from [first, last) and the position after its footer. A footer
// cut short by the range after its marker is accepted.
std::pair<Packet, const char*> ParsePacket(const char* first, const char* last);

// Every packet of a network payload, up to the first that does not decode
// (the padding after the last packet always ends it); that failure is not
// reported.
std::vector<Packet> DecodeNetworkPayload(const std::vector<unsigned char>& payload);

// One packet from the stream, consuming exactly up to the end of its footer.
Packet ReadPacket(BasicInputStream& input);

using CommandHandler = std::function<void(const Command&)>;

// One packet from the stream without keeping its commands: when the header id
// equals requestId each command goes to the handler as soon as it is
// complete; otherwise its bytes are skipped. Returns the commands handed over.
std::size_t StreamPacket(BasicInputStream& input, std::uint32_t requestId,
                         const CommandHandler& handler);

// The payload of one network envelope.
std::vector<unsigned char> ReadNetworkMessage(BasicInputStream& input);

// Finds the next envelope and reads up to its payload, whose announced length
// it returns; the payload itself is left in the stream.
std::uint32_t ReadNetworkEnvelopeHeader(BasicInputStream& input);

}  // namespace KpBidi
