// One request to a printer and its reply: the round trip over a connector.
#pragma once

#include <cstdint>
#include <vector>

#include "bidi/communications/connector.h"
#include "bidi/protocol/decode.h"
#include "bidi/protocol/packet.h"

namespace KpBidi {

inline constexpr int kNetworkPort = 48000;
inline constexpr std::size_t kNetworkReadBufferSize = 1 << 20;
inline constexpr std::size_t kUsbDefaultReadSize = 512;

// Ten-millisecond ticks of the monotonic clock, modulo 0xFFFFFFFF.
std::uint32_t MakePacketId();
std::uint32_t PacketIdFromNanoseconds(std::uint64_t nanoseconds) noexcept;

// Sends the request and reads reply packets until those carrying the
// request's id hold as many commands as the request expects replies; returns
// them in arrival order. Packets with other ids are read and dropped.
// Unreachable printer -> 1003, refused write -> 1011, USB port busy -> 1009,
// read time-out -> 1005; decoder and other transport errors pass through.
std::vector<Packet> ExchangePackets(communications::Connector& connector, const Packet& request);

// The same round trip, handing every command of the matching reply packets
// to `handler` while the reply is read, so nothing of the reply is kept.
void ExchangeStreaming(communications::Connector& connector, const Packet& request,
                       const CommandHandler& handler);

}  // namespace KpBidi
