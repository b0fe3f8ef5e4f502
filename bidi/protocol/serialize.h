// Encoding packets and network envelopes.
#pragma once

#include <vector>

#include "bidi/protocol/packet.h"

namespace KpBidi {

// 2432 zero bytes, header, commands, footer, then zero padding to the next
// multiple of 2048 (a whole block when already aligned) and 2048 more.
std::vector<unsigned char> SerializePacket(const Packet& packet);

// 40 40 00 00, the payload length (big-endian), the payload.
std::vector<unsigned char> WrapNetworkMessage(const std::vector<unsigned char>& packetBytes);

}  // namespace KpBidi
