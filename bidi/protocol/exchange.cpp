#include "bidi/protocol/exchange.h"

#include <chrono>
#include <stdexcept>

#include "bidi/capi/error.h"
#include "bidi/communications/stream_buf.h"
#include "bidi/protocol/serialize.h"

namespace KpBidi {
namespace {

using communications::Connector;
using communications::Deadline;
using communications::Stream;
using communications::TimeoutException;
using communications::UsbPortBusyException;

// Steps shared by both forms: reachability first, then the path.
int CheckedProtocol(Connector& connector) {
    if (!connector.IsAvailable()) {
        throw Error(PrinterNotAvailable);
    }
    const int protocol = connector.GetProtocolType();
    if (protocol != communications::UsbProtocol && protocol != communications::NetworkProtocol) {
        throw std::domain_error("Invalid protocol type.");
    }
    return protocol;
}

void WriteAll(Stream& stream, const std::vector<unsigned char>& bytes) {
    if (!stream.Write(bytes.data(), static_cast<std::int32_t>(bytes.size()))) {
        throw Error(CommunicationError);
    }
}

std::size_t UsbReadSize(Connector& connector) {
    const std::size_t preferred = connector.GetPreferredReadSize();
    return preferred != 0 ? preferred : kUsbDefaultReadSize;
}

// One round trip: reachability, the path, the stream, the request in one
// write, then `readReply(input, usb)` on the reply, with the exception
// translation of the path (the USB path also turns a busy port into 1009).
// Every wait after the stream is open ends at `deadline`. The stream is
// closed before this returns or throws.
template <class ReadReply>
void Exchange(Connector& connector, const Packet& request, const Deadline& deadline,
              ReadReply&& readReply) {
    const bool usb = CheckedProtocol(connector) == communications::UsbProtocol;
    try {
        const std::unique_ptr<Stream> stream =
            usb ? connector.OpenUsbStream() : connector.OpenNetworkStream(kNetworkPort);
        // Opening waits by itself (a connect, the USB port lock), bounded
        // on its own; what it used up counts.
        stream->SetDeadline(&deadline);
        deadline.Check();
        const std::vector<unsigned char> packet = SerializePacket(request);
        WriteAll(*stream, usb ? packet : WrapNetworkMessage(packet));
        BasicInputStream input(stream.get(), usb ? UsbReadSize(connector) : kNetworkReadBufferSize,
                               &deadline);
        readReply(input, usb);
    } catch (const UsbPortBusyException&) {
        if (!usb) {
            throw;
        }
        throw Error(UsbPortBusy);
    } catch (const TimeoutException&) {
        throw Error(Timeout);
    }
}

// What a kept packet holds, counted as the decoders count it.
std::size_t HeldBytes(const Packet& packet) {
    std::size_t bytes = 0;
    for (const PacketCommand& command : packet.commands) {
        bytes += command.data.size() + 8;
    }
    return bytes;
}

}  // namespace

std::uint32_t PacketIdFromNanoseconds(std::uint64_t nanoseconds) noexcept {
    return static_cast<std::uint32_t>((nanoseconds / 10'000'000u) % 0xFFFF'FFFFu);
}

std::uint32_t MakePacketId() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return PacketIdFromNanoseconds(static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
}

std::vector<Packet> ExchangePackets(Connector& connector, const Packet& request,
                                    std::size_t replyLimit, std::chrono::milliseconds timeLimit) {
    const Deadline deadline(timeLimit);
    const std::uint32_t id = request.header.id;
    const std::size_t expected = request.ExpectedReplies();
    std::vector<Packet> replies;
    std::size_t received = 0;
    std::size_t held = 0;
    // A packet without commands counts nothing, so it is not kept either: a
    // printer streaming empty packets must not grow the reply without end.
    const auto keep = [&](Packet&& packet) {
        if (packet.header.id == id && !packet.commands.empty()) {
            received += packet.commands.size();
            held += HeldBytes(packet);
            replies.push_back(std::move(packet));
        }
    };
    Exchange(connector, request, deadline, [&](BasicInputStream& input, bool usb) {
        while (received < expected) {
            const std::size_t left = replyLimit - held;
            if (usb) {
                keep(ReadPacket(input, left));
            } else {
                ReadNetworkPackets(input, left, keep);
            }
        }
    });
    return replies;
}

void ExchangeStreaming(Connector& connector, const Packet& request, const CommandHandler& handler,
                       const Deadline& deadline) {
    const std::uint32_t id = request.header.id;
    const std::size_t expected = request.ExpectedReplies();
    Exchange(connector, request, deadline, [&](BasicInputStream& input, bool usb) {
        std::size_t received = 0;
        while (received < expected) {
            if (!usb) {
                // The envelope's length is not needed: the packet decoder
                // finds the packet's end itself.
                ReadNetworkEnvelopeHeader(input);
            }
            received += StreamPacket(input, id, handler);
        }
    });
}

}  // namespace KpBidi
