#include "bidi/protocol/exchange.h"

#include <chrono>
#include <stdexcept>

#include "bidi/capi/error.h"
#include "bidi/communications/stream_buf.h"
#include "bidi/protocol/serialize.h"

namespace KpBidi {
namespace {

using communications::Connector;
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

// Runs one path with the exception translation the Part gives it: the USB
// path also turns a busy port into 1009.
template <class Body>
void Translated(bool usb, Body&& body) {
    try {
        body();
    } catch (const UsbPortBusyException&) {
        if (!usb) {
            throw;
        }
        throw Error(UsbPortBusy);
    } catch (const TimeoutException&) {
        throw Error(Timeout);
    }
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

std::vector<Packet> ExchangePackets(Connector& connector, const Packet& request) {
    const int protocol = CheckedProtocol(connector);
    const std::uint32_t id = request.header.id;
    const std::size_t expected = request.ExpectedReplies();
    std::vector<Packet> replies;

    if (protocol == communications::UsbProtocol) {
        Translated(true, [&] {
            const auto stream = connector.OpenUsbStream();
            WriteAll(*stream, SerializePacket(request));
            BasicInputStream input(stream.get(), UsbReadSize(connector));
            std::size_t received = 0;
            while (received < expected) {
                Packet packet = ReadPacket(input);
                if (packet.header.id == id) {
                    received += packet.commands.size();
                    replies.push_back(std::move(packet));
                }
            }
        });
    } else {
        Translated(false, [&] {
            const auto stream = connector.OpenNetworkStream(kNetworkPort);
            WriteAll(*stream, WrapNetworkMessage(SerializePacket(request)));
            BasicInputStream input(stream.get(), kNetworkReadBufferSize);
            std::size_t received = 0;
            while (received < expected) {
                for (Packet& packet : DecodeNetworkPayload(ReadNetworkMessage(input))) {
                    if (packet.header.id == id) {
                        received += packet.commands.size();
                        replies.push_back(std::move(packet));
                    }
                }
            }
        });
    }
    return replies;
}

void ExchangeStreaming(Connector& connector, const Packet& request, const CommandHandler& handler) {
    const int protocol = CheckedProtocol(connector);
    const std::uint32_t id = request.header.id;
    const std::size_t expected = request.ExpectedReplies();

    if (protocol == communications::UsbProtocol) {
        Translated(true, [&] {
            const auto stream = connector.OpenUsbStream();
            WriteAll(*stream, SerializePacket(request));
            BasicInputStream input(stream.get(), UsbReadSize(connector));
            std::size_t received = 0;
            while (received < expected) {
                received += StreamPacket(input, id, handler);
            }
        });
    } else {
        Translated(false, [&] {
            const auto stream = connector.OpenNetworkStream(kNetworkPort);
            WriteAll(*stream, WrapNetworkMessage(SerializePacket(request)));
            BasicInputStream input(stream.get(), kNetworkReadBufferSize);
            std::size_t received = 0;
            while (received < expected) {
                // The envelope's length is not needed: the packet decoder
                // finds the packet's end itself.
                ReadNetworkEnvelopeHeader(input);
                received += StreamPacket(input, id, handler);
            }
        });
    }
}

}  // namespace KpBidi
