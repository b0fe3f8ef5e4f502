// One request to a printer and its reply: the round trip over a connector.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "bidi/communications/connector.h"
#include "bidi/communications/deadline.h"
#include "bidi/protocol/decode.h"
#include "bidi/protocol/packet.h"

namespace KpBidi {

inline constexpr int kNetworkPort = 48000;
inline constexpr std::size_t kNetworkReadBufferSize = 1 << 20;
inline constexpr std::size_t kUsbDefaultReadSize = 512;

// The most a reply may hold in memory: the data of the commands kept (8
// bytes more per command) and, on the network, each envelope's payload.
// Fixed-size operations read at most a few dozen bytes of their reply and
// real printers pad a payload to a few hundred, so 1 MiB is generous; a
// data block may be larger, up to 256 MiB. Beyond the bound: 1006.
inline constexpr std::size_t kMaxReplyBytes = 1 << 20;
inline constexpr std::size_t kMaxDataReplyBytes = std::size_t{256} << 20;

// The most one exchange of an ordinary operation may take in all, from the
// reachability test to the reply's last byte: the transports' time-outs are
// per read, so a printer trickling its reply would otherwise hold the caller
// for as long as it kept trickling. A real printer answers within a second.
// Beyond it: 1005.
inline constexpr std::chrono::milliseconds kExchangeTimeLimit{60'000};

// Ten-millisecond ticks of the monotonic clock, modulo 0xFFFFFFFF.
std::uint32_t MakePacketId();
std::uint32_t PacketIdFromNanoseconds(std::uint64_t nanoseconds) noexcept;

// Sends the request and reads reply packets until those carrying the
// request's id hold as many commands as the request expects replies; returns
// them in arrival order. Packets with other ids, and packets without
// commands, are read and dropped. A reply holding more than `replyLimit`
// bytes (see kMaxReplyBytes) -> 1006, refused as soon as a length announces
// it. Unreachable printer -> 1003, refused write -> 1011, USB port busy ->
// 1009, read time-out or the whole exchange taking longer than `timeLimit`
// -> 1005; decoder and other transport errors pass through.
std::vector<Packet> ExchangePackets(communications::Connector& connector, const Packet& request,
                                    std::size_t replyLimit = kMaxReplyBytes,
                                    std::chrono::milliseconds timeLimit = kExchangeTimeLimit);

// The same round trip, handing every command of the matching reply packets
// to `handler` while the reply is read, so nothing of the reply is kept. A
// streamed reply (a log) may rightly take minutes, so its bound is the
// caller's: every wait of the exchange ends at `deadline`, which the handler
// may restart on progress (see communications/deadline.h). The default
// never passes.
void ExchangeStreaming(communications::Connector& connector, const Packet& request,
                       const CommandHandler& handler,
                       const communications::Deadline& deadline = communications::Deadline());

}  // namespace KpBidi
