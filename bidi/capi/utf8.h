// What a printer sends as text is bytes; what the library hands out as text
// is UTF-8. These helpers tell the two apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace KpBidi {

// The character at the start of a non-empty `text`: its code point and its
// length in bytes, or code point -1 and length 1 for a byte that does not
// start a well-formed sequence (a stray continuation byte, a cut sequence,
// an overlong form, a surrogate, or a value above U+10FFFF).
struct Utf8Step {
    std::int32_t codePoint;
    std::size_t length;
};
Utf8Step NextUtf8(std::string_view text) noexcept;

// `text` with every byte that is not part of a well-formed sequence replaced
// by U+FFFD; valid text comes back unchanged.
std::string ValidUtf8(std::string_view text);

}  // namespace KpBidi
