// One printer operation whose reply is the fuzz input: the exchange's
// completion rule, FindReply, the minimum lengths and each operation's
// decoding (ReadData's checksum, the schedule, the identity, the IP mode).
#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>

#include "bidi/capi/documents.h"
#include "bidi/capi/utf8.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

void Run(KpBidi::Printer& printer, unsigned char selector) {
    switch (selector % 6) {
        case 0: {
            const KpBidi::PrinterInfo info = printer.GetPrinterInfo();
            if (info.digits18Code.size() > 18 || info.serialNumber.size() > 18 ||
                info.macAddress.size() != 17) {
                __builtin_trap();
            }
            try {
                KpBidi::PrinterInfoDocument(info);
            } catch (const std::exception&) {
                // Texts that are not UTF-8 are refused by the serializer.
            }
            break;
        }
        case 1: {
            const KpBidi::CirculationSchedule s = printer.GetCirculationSchedule();
            if (s.count > 8) {
                __builtin_trap();
            }
            for (std::size_t i = 0; i < s.count; ++i) {
                if (s.entries[i].hour > 23 || s.entries[i].minute > 59 ||
                    (s.entries[i].kind != 1 && s.entries[i].kind != 2)) {
                    __builtin_trap();
                }
            }
            KpBidi::CirculationScheduleDocument(s);
            break;
        }
        case 2: {
            const KpBidi::DataBlock block = printer.ReadData(0x8011);
            if (KpBidi::DataChecksum(block.data.data(), block.data.size()) == 0 &&
                !block.data.empty() && block.data.size() < 4 &&
                std::any_of(block.data.begin(), block.data.end(), [](auto b) { return b; })) {
                __builtin_trap();  // a non-zero partial word cannot sum to 0
            }
            break;
        }
        case 3: {
            const KpBidi::IpModeResult r = printer.GetIpMode();
            if (r.mode != 0 && r.mode != 1) {
                __builtin_trap();
            }
            break;
        }
        case 4: {
            const std::string text = printer.GetHostName().text;
            if (text.size() != 32) {
                __builtin_trap();
            }
            // What the flat interface hands out is UTF-8, whatever was sent.
            const std::string cleaned = KpBidi::ValidUtf8(text.c_str());
            std::string_view valid = cleaned;
            for (; !valid.empty(); valid.remove_prefix(KpBidi::NextUtf8(valid).length)) {
                if (KpBidi::NextUtf8(valid).codePoint < 0) {
                    __builtin_trap();
                }
            }
            break;
        }
        default:
            printer.SendFiring({1, 0, 0, 1, 2, 3, 4});
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kpm::fuzz::Framing f = kpm::fuzz::Split(data, size);
    kpm::fuzz::ReplayPrinter printer(f.rest, f.sizes, f.network, f.selector & 0xF0);
    try {
        Run(printer, f.selector);
    } catch (const KpBidi::Error&) {
        // Reply problems, range checks and ReadData's printer status are all
        // library errors; anything else escaping is a crash for the fuzzer.
    }
    return 0;
}
