// The wizard's decoding of the library's results: the identity and schedule
// documents, and values at fixed positions of data blocks, on arbitrary
// input (the documents come from the library, but the bytes in them and in
// the blocks come from the printer).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "access/printer_results.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 3) {
        case 0:
            kpm::access::DecodeIdentity(text);
            break;
        case 1: {
            const auto schedule = kpm::access::DecodeSchedule(text);
            if (schedule) {
                if (schedule->count < 0 || schedule->count > 8) {
                    __builtin_trap();
                }
                // What was decoded must encode back within the interface's range.
                const kpbidi_schedule_tag tag = kpm::access::EncodeSchedule(
                    schedule->count, schedule->time, schedule->enhanced);
                for (int i = 0; i < tag.count; ++i) {
                    if (tag.entries[i].hour > 99 || tag.entries[i].minute > 99) {
                        __builtin_trap();
                    }
                }
            }
            break;
        }
        default: {
            // A block over the rest of the input, read at the wizard's offsets
            // and at offsets taken from the input itself.
            kpbidi_data_tag block{};
            block.data = data + 1;
            block.size = size - 1;
            for (std::size_t offset : {std::size_t{42}, std::size_t{50}, std::size_t{84},
                                       std::size_t{92}, std::size_t{432}, std::size_t{433},
                                       block.size, block.size - 1, ~std::size_t{0}}) {
                kpm::access::BlockByte(block, offset);
                kpm::access::BlockInt16(block, offset);
                kpm::access::BlockUint32(block, offset);
            }
            break;
        }
    }
    return 0;
}
