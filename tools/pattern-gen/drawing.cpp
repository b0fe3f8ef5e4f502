#include "drawing.h"

#include "font.h"

namespace patterns {

std::array<std::uint8_t, 3> InkColour(Ink ink) noexcept {
    switch (ink) {
        case Ink::Cyan:
            return {0, 174, 239};
        case Ink::Magenta:
            return {236, 0, 140};
        case Ink::Yellow:
            return {255, 242, 0};
        case Ink::Black:
            return {20, 20, 20};
        case Ink::White:
            return {250, 250, 250};
    }
    return {0, 0, 0};
}

void Drawing::Fill(double x, double y, double width, double height, Ink ink) {
    rects_.push_back({x, y, width, height, ink});
}

void Drawing::Text(double x, double y, double dot, std::string_view text, Ink ink) {
    for (const char c : text) {
        const auto rows = Glyph(c);
        for (int row = 0; row < kGlyphHeight; ++row) {
            // Runs of dots become one rectangle each.
            int col = 0;
            while (col < kGlyphWidth) {
                if (!(rows[row] & (1u << (kGlyphWidth - 1 - col)))) {
                    ++col;
                    continue;
                }
                const int start = col;
                while (col < kGlyphWidth && (rows[row] & (1u << (kGlyphWidth - 1 - col)))) {
                    ++col;
                }
                Fill(x + start * dot, y + row * dot, (col - start) * dot, dot, ink);
            }
        }
        x += (kGlyphWidth + 1) * dot;
    }
}

double Drawing::TextWidth(std::string_view text, double dot) noexcept {
    if (text.empty()) {
        return 0.0;
    }
    return (static_cast<double>(text.size()) * (kGlyphWidth + 1) - 1) * dot;
}

}  // namespace patterns
