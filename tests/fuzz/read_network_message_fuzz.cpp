// ReadNetworkMessage on a chunked stream.
#include "bidi/communications/stream_buf.h"
#include "bidi/protocol/decode.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kpm::fuzz::Framing f = kpm::fuzz::Split(data, size);
    kpm::test::ScriptedStream stream(kpm::fuzz::Chunks(f.rest.data(), f.rest.size(), f.sizes));
    KpBidi::BasicInputStream input(&stream, 1 + f.selector * 8);
    try {
        for (;;) {
            const auto payload = KpBidi::ReadNetworkMessage(input);
            if (payload.size() > f.rest.size()) {
                __builtin_trap();
            }
        }
    } catch (const KpBidi::Error& e) {
        if (e.code != KpBidi::InvalidResponse) {
            __builtin_trap();
        }
    }
    return 0;
}
