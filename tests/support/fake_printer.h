// A printer answered by a function instead of a device: the request is
// decoded when written, and the reply packet is built from the answers.
// Reply bytes are assembled here by hand, independently of the encoder.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bidi/capi/error.h"
#include "bidi/communications/connector.h"
#include "bidi/protocol/decode.h"
#include "bidi/protocol/printer.h"
#include "tests/support/scripted_transport.h"
#include "tests/support/wire_bytes.h"

namespace kpm::test {

struct Request {
    std::uint32_t headerId = 0;
    std::uint8_t kind = 0;
    std::uint8_t subkind = 0;
    std::uint32_t footerId = 0;
    std::vector<std::pair<std::uint16_t, Bytes>> commands;
};

// Answers each request with the reply commands `answer` gives for it (the
// reply bytes as they go on the wire: use ReplyPacketBytes), over the USB
// framing or the network envelope.
class FakePrinter : public KpBidi::Printer {
public:
    using Answer = std::function<Bytes(const Request&)>;

    FakePrinter(int protocol, Answer answer) : protocol_(protocol), answer_(std::move(answer)) {}

    // Replies with the given commands in one packet carrying the request id.
    static Answer Replying(std::vector<std::pair<std::uint16_t, Bytes>> commands) {
        return [commands](const Request& r) { return ReplyPacketBytes(r.headerId, commands); };
    }

    std::string GetName() override { return "fake"; }

    std::unique_ptr<KpBidi::communications::Connector> CreateConnector() override {
        ++connectorsCreated;
        if (createError) {
            createError();
        }
        return std::make_unique<ScriptedConnector>(protocol_, [this] { return MakeStream(); });
    }

    std::vector<Request> requests;
    int connectorsCreated = 0;
    // How the reply travels: at most this many bytes a read, each read
    // waiting `readPause` first.
    std::size_t readChunk = 700;
    std::chrono::milliseconds readPause{0};
    std::function<void()> createError;  // throws, to stand in for resolution failures

private:
    std::deque<ReadStep> AnswerRequest(Bytes bytes) {
        if (protocol_ == KpBidi::communications::NetworkProtocol) {
            bytes.erase(bytes.begin(), bytes.begin() + 8);  // the envelope
        }
        const char* first = reinterpret_cast<const char*>(bytes.data());
        auto [packet, next] = KpBidi::ParsePacket(first, first + bytes.size());
        Request request;
        request.headerId = packet.header.id;
        request.kind = packet.header.kind;
        request.subkind = packet.header.subkind;
        request.footerId = packet.footer.id;
        for (const auto& c : packet.commands) {
            request.commands.emplace_back(c.code, c.data);
        }
        requests.push_back(request);
        Bytes reply = answer_(request);
        if (protocol_ == KpBidi::communications::NetworkProtocol) {
            reply = EnvelopeBytes(reply);
        }
        return ChunkedSteps(reply, readChunk);
    }

    std::unique_ptr<KpBidi::communications::Stream> MakeStream() {
        return std::make_unique<AnsweringStream>(
            [this](const Bytes& request) { return AnswerRequest(request); }, readPause);
    }

    int protocol_;
    Answer answer_;
};

inline int ErrorCode(const std::function<void()>& f) {
    try {
        f();
    } catch (const KpBidi::Error& e) {
        return e.code;
    }
    return 0;
}

}  // namespace kpm::test
