// Decoding packets from a byte range or from a printer's stream, and the
// network envelope. Every malformation raises Error(InvalidResponse);
// transport exceptions raised while a stream decoder reads pass through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
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

// No bound on what a decoded reply may hold.
inline constexpr std::size_t kNoReplyLimit = static_cast<std::size_t>(-1);

// One packet from the stream, consuming exactly up to the end of its footer.
// Its commands may hold at most `limit` bytes, counting 8 per command besides
// its data; a command announced beyond that raises Error(InvalidResponse)
// before its data is read.
Packet ReadPacket(BasicInputStream& input, std::size_t limit = kNoReplyLimit);

// One network envelope: every packet of its payload, decoded from the stream
// in place (the payload is never copied whole), handed to `take` in order,
// up to the first bytes that do not form a packet (the padding); the rest of
// the payload is then skipped. A payload announced longer than `limit`
// raises Error(InvalidResponse) before any of it is read; a stream that ends
// inside the payload raises it too.
void ReadNetworkPackets(BasicInputStream& input, std::size_t limit,
                        const std::function<void(Packet&&)>& take);

// A command as StreamPacket hands it over. Its data is valid during the call
// only: it lies in the stream's read buffer whenever it arrived whole there,
// so the bytes of a long reply are not copied once more on their way.
struct CommandView {
    std::uint16_t code = 0;
    std::span<const unsigned char> data;
};

using CommandHandler = std::function<void(const CommandView&)>;

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
