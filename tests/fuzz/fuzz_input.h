// Helpers shared by the fuzz targets: turning the fuzzer's bytes into a
// printer's reply, handed out in chunks of fuzzer-chosen sizes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <vector>

#include "bidi/capi/error.h"
#include "bidi/communications/connector.h"
#include "bidi/protocol/printer.h"
#include "bidi/protocol/wire.h"
#include "tests/support/scripted_transport.h"

namespace kpm::fuzz {

using Bytes = std::vector<unsigned char>;

// Splits `data` into chunks whose sizes come from `sizes` (cycled; a size
// byte of 0 stands for a whole 4096-byte chunk, so large replies stay quick).
inline std::deque<test::ReadStep> Chunks(const unsigned char* data, std::size_t size,
                                         const Bytes& sizes) {
    std::deque<test::ReadStep> script;
    std::size_t at = 0;
    std::size_t k = 0;
    while (at < size) {
        std::size_t n = sizes.empty() ? size : sizes[k++ % sizes.size()];
        if (n == 0) {
            n = 4096;
        }
        n = std::min(n, size - at);
        script.push_back(test::ReadStep::Chunk(Bytes(data + at, data + at + n)));
        at += n;
    }
    return script;
}

// Every "IDID" in a reply template becomes the request's packet id, so the
// fuzzer can produce replies that match a request whose id depends on the
// clock.
inline void PatchIds(Bytes& reply, std::uint32_t id) {
    for (std::size_t i = 0; i + 4 <= reply.size(); ++i) {
        if (std::memcmp(&reply[i], "IDID", 4) == 0) {
            KpBidi::wire::SetU32(&reply[i], id);
        }
    }
}

// A stream that answers the request written to it with the fuzz input.
inline std::unique_ptr<test::AnsweringStream> ReplayStream(Bytes reply, Bytes sizes, bool network) {
    return std::make_unique<test::AnsweringStream>([reply = std::move(reply),
                                                    sizes = std::move(sizes),
                                                    network](const Bytes& request) mutable {
        // The header id follows the 2432 leading zeros and the header
        // marker's 8 bytes (and the envelope on the network).
        const std::size_t idAt =
            (network ? KpBidi::wire::kEnvelopeHeaderSize : 0) + KpBidi::wire::kLeadingZeros + 8;
        if (request.size() >= idAt + 4) {
            PatchIds(reply, KpBidi::wire::GetU32(request.data() + idAt));
        }
        return Chunks(reply.data(), reply.size(), sizes);
    });
}

// A printer whose every connector answers with the same fuzz input.
class ReplayPrinter : public KpBidi::Printer {
public:
    ReplayPrinter(Bytes reply, Bytes sizes, bool network, std::size_t usbReadSize)
        : reply_(std::move(reply)),
          sizes_(std::move(sizes)),
          network_(network),
          usbReadSize_(usbReadSize) {}

    std::string GetName() override { return "fuzz"; }

    std::unique_ptr<KpBidi::communications::Connector> CreateConnector() override {
        auto connector = std::make_unique<test::ScriptedConnector>(
            network_ ? KpBidi::communications::NetworkProtocol
                     : KpBidi::communications::UsbProtocol,
            [this] { return ReplayStream(reply_, sizes_, network_); });
        connector->preferredReadSize = usbReadSize_;
        return connector;
    }

private:
    Bytes reply_;
    Bytes sizes_;
    bool network_;
    std::size_t usbReadSize_;
};

// Reads the fuzzer's framing: the first byte's low bit chooses the
// transport, the next byte chooses an operation, then up to 8 chunk sizes.
struct Framing {
    bool network = false;
    unsigned char selector = 0;
    Bytes sizes;
    Bytes rest;
};

inline Framing Split(const unsigned char* data, std::size_t size) {
    Framing f;
    std::size_t at = 0;
    if (at < size) {
        f.network = (data[at] & 1) != 0;
        f.sizes.assign(data + at, data + std::min(size, at + 1));
        f.sizes[0] >>= 1;
        ++at;
    }
    if (at < size) {
        f.selector = data[at++];
    }
    const std::size_t sizeCount = std::min<std::size_t>(size - at, 8);
    f.sizes.insert(f.sizes.end(), data + at, data + at + sizeCount);
    at += sizeCount;
    f.rest.assign(data + at, data + size);
    return f;
}

}  // namespace kpm::fuzz
