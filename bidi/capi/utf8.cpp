#include "bidi/capi/utf8.h"

namespace KpBidi {

Utf8Step NextUtf8(std::string_view text) noexcept {
    constexpr Utf8Step kInvalid{-1, 1};
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return {lead, 1};
    }
    std::size_t length = 0;
    std::int32_t codePoint = 0;
    std::int32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        codePoint = lead & 0x1F;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        codePoint = lead & 0x0F;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        codePoint = lead & 0x07;
        smallest = 0x10000;
    } else {
        return kInvalid;
    }
    if (text.size() < length) {
        return kInvalid;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return kInvalid;
        }
        codePoint = (codePoint << 6) | (byte(i) & 0x3F);
    }
    if (codePoint < smallest || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return kInvalid;
    }
    return {codePoint, length};
}

std::string ValidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const Utf8Step step = NextUtf8(text);
        if (step.codePoint < 0) {
            out += "\xEF\xBF\xBD";
        } else {
            out.append(text.substr(0, step.length));
        }
        text.remove_prefix(step.length);
    }
    return out;
}

}  // namespace KpBidi
