// FetchLog over arbitrary replies: any sequence of code-6 blocks, in any
// order, repeated, with gaps or without a final block.
#include "bidi/protocol/log_fetch.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kpm::fuzz::Framing f = kpm::fuzz::Split(data, size);
    kpm::fuzz::ReplayPrinter printer(f.rest, f.sizes, f.network, f.selector & 0xF0);
    KpBidi::Bidi bidi(printer);
    std::size_t delivered = 0;
    std::size_t calls = 0;
    const std::size_t stopAfter = f.selector & 0x0F;
    try {
        bidi.FetchLog([&](const unsigned char* bytes, std::size_t n) {
            if (n > 0 && bytes == nullptr) {
                __builtin_trap();
            }
            delivered += n;
            return ++calls != stopAfter;
        });
    } catch (const KpBidi::Error& e) {
        if (e.code != KpBidi::InvalidResponse) {
            __builtin_trap();
        }
    }
    // Nothing is delivered twice or invented.
    if (delivered > f.rest.size() || (stopAfter != 0 && calls > stopAfter)) {
        __builtin_trap();
    }
    return 0;
}
