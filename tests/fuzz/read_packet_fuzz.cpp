// ReadPacket and StreamPacket on a stream that hands the input out in chunks
// of fuzzer-chosen sizes, through a read buffer of fuzzer-chosen size.
#include "bidi/communications/stream_buf.h"
#include "bidi/protocol/decode.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kpm::fuzz::Framing f = kpm::fuzz::Split(data, size);
    const std::size_t bufferSize = 1 + f.selector % 64 * 16;
    const bool streaming = (f.selector & 0x80) != 0;
    kpm::test::ScriptedStream stream(kpm::fuzz::Chunks(f.rest.data(), f.rest.size(), f.sizes));
    KpBidi::BasicInputStream input(&stream, bufferSize);
    std::size_t handedBytes = 0;
    try {
        // Until the input runs out, which always ends in InvalidResponse.
        for (;;) {
            if (streaming) {
                KpBidi::StreamPacket(input, 0x49444944, [&](const KpBidi::CommandView& c) {
                    handedBytes += c.data.size();
                });
            } else {
                const KpBidi::Packet packet = KpBidi::ReadPacket(input);
                for (const auto& c : packet.commands) {
                    handedBytes += c.data.size();
                }
            }
        }
    } catch (const KpBidi::Error& e) {
        if (e.code != KpBidi::InvalidResponse) {
            __builtin_trap();
        }
    }
    // No command can carry more bytes than the input held.
    if (handedBytes > f.rest.size()) {
        __builtin_trap();
    }
    return 0;
}
