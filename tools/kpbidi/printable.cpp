#include "tools/kpbidi/printable.h"

#include <cstdint>
#include <cstdio>

#include "bidi/capi/utf8.h"

namespace kpbidi_tool {
namespace {

bool Reorders(std::int32_t c) {
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

}  // namespace

std::string Printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const KpBidi::Utf8Step step = KpBidi::NextUtf8(text);
        const std::int32_t c = step.codePoint;
        char escape[16] = {};
        if (c < 0 || c < 0x20 || c == 0x7F) {
            std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(text[0]));
        } else if ((c >= 0x80 && c <= 0x9F) || Reorders(c)) {
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
        } else if (c == '\\') {
            std::snprintf(escape, sizeof escape, "\\\\");
        }
        if (escape[0] != '\0') {
            out += escape;
        } else {
            out.append(text.substr(0, step.length));
        }
        text.remove_prefix(step.length);
    }
    return out;
}

}  // namespace kpbidi_tool
