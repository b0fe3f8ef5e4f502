#include "tools/printer-sim/data_blocks.h"

#include <algorithm>

#include "bidi/protocol/wire.h"

namespace kpm::sim {
namespace {

void PutU32(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v) {
    KpBidi::wire::SetU32(b.data() + at, v);
}

void PutI16(std::vector<unsigned char>& b, std::size_t at, std::int16_t v) {
    KpBidi::wire::SetU16(b.data() + at, static_cast<std::uint16_t>(v));
}

void PutText(std::vector<unsigned char>& b, std::size_t at, const std::string& text,
             std::size_t field) {
    std::copy_n(text.begin(), std::min(text.size(), field), b.begin() + at);
}

}  // namespace

std::optional<std::vector<unsigned char>> BuildDataBlock(std::uint32_t id, const PrinterState& s) {
    switch (id) {
        case kNetworkBlock: {
            std::vector<unsigned char> b(128, 0);
            PutU32(b, 0, static_cast<std::uint32_t>(s.ipMode));
            PutText(b, 4, s.hostName, kHostNameSize);
            std::copy(s.mac.begin(), s.mac.end(), b.begin() + 36);
            PutU32(b, 84, s.ipAddress);
            PutU32(b, 88, s.subnetMask);
            PutU32(b, 92, s.gateway);
            return b;
        }
        case kAlignmentBlock: {
            std::vector<unsigned char> b(64, 0);
            PutI16(b, 42, s.alignment[Dpi600].x);
            PutI16(b, 44, s.alignment[Dpi1200].x);
            PutI16(b, 50, s.alignment[Dpi600].y);
            PutI16(b, 52, s.alignment[Dpi1200].y);
            return b;
        }
        case kHeadBlock: {
            std::vector<unsigned char> b(448, 0);
            PutText(b, 0, s.heads[ColorHead].serial, kHeadSerialSize);
            PutText(b, 8, s.heads[WhiteHead].serial, kHeadSerialSize);
            b[432] = s.heads[ColorHead].vRating;
            b[433] = s.heads[WhiteHead].vRating;
            return b;
        }
        default:
            return std::nullopt;
    }
}

std::uint32_t DataBlockChecksum(const std::vector<unsigned char>& data) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < data.size(); i += 4) {
        std::uint32_t word = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            word = (word << 8) | (i + k < data.size() ? data[i + k] : 0u);
        }
        sum += word;
    }
    return sum;
}

}  // namespace kpm::sim
