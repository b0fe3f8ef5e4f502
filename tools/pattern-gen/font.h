// A 5 x 7 dot font for the captions printed on the check patterns.
#pragma once

#include <array>
#include <cstdint>

namespace patterns {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;

// Rows top to bottom; bit 4 of a row is the leftmost dot. Characters
// without a glyph (lower case is printed as upper case) come out blank.
std::array<std::uint8_t, kGlyphHeight> Glyph(char c) noexcept;

}  // namespace patterns
