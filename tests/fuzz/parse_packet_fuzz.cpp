// ParsePacket and the network payload decoder on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "bidi/capi/error.h"
#include "bidi/protocol/decode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* first = reinterpret_cast<const char*>(data);
    const char* last = first + size;
    try {
        auto [packet, next] = KpBidi::ParsePacket(first, last);
        if (next < first || next > last) {
            __builtin_trap();  // the position must stay inside the range
        }
    } catch (const KpBidi::Error& e) {
        if (e.code != KpBidi::InvalidResponse) {
            __builtin_trap();
        }
    }
    const std::vector<unsigned char> payload(data, data + size);
    const auto packets = KpBidi::DecodeNetworkPayload(payload);
    (void)packets;
    return 0;
}
