// A check pattern as the printer lays it down: filled rectangles of one ink
// each, in inches from the top-left corner of the 14 x 16 inch platen.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace patterns {

inline constexpr double kPlatenWidth = 14.0;
inline constexpr double kPlatenHeight = 16.0;

enum class Ink { Cyan, Magenta, Yellow, Black, White };

// The colour an ink shows on film, 8-bit RGB.
std::array<std::uint8_t, 3> InkColour(Ink ink) noexcept;

// The transfer film on the platen: mid grey, so white ink shows.
inline constexpr std::uint8_t kFilmGrey = 128;

struct Rect {
    double x;
    double y;
    double width;
    double height;
    Ink ink;
};

class Drawing {
public:
    void Fill(double x, double y, double width, double height, Ink ink);

    // Text in the 5 x 7 dot font with its top-left corner at (x, y); each
    // dot is `dot` inches square, characters are six dots apart.
    void Text(double x, double y, double dot, std::string_view text, Ink ink);

    static double TextWidth(std::string_view text, double dot) noexcept;

    const std::vector<Rect>& rects() const noexcept { return rects_; }

private:
    std::vector<Rect> rects_;
};

}  // namespace patterns
