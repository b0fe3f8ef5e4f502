#include "render.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace patterns {
namespace {

struct Span {
    int first;
    int last;  // exclusive
};

// Covered pixels of [start, start + length) inches; at least one pixel, so
// hairlines survive any resolution.
Span Cover(double start, double length, int perInch, int limit) {
    int first = static_cast<int>(std::floor(start * perInch));
    int last = static_cast<int>(std::ceil((start + length) * perInch));
    if (last <= first) {
        last = first + 1;
    }
    return {std::clamp(first, 0, limit), std::clamp(last, 0, limit)};
}

}  // namespace

Image RenderPreview(const Drawing& drawing, int pixelsPerInch) {
    Image image;
    image.width = static_cast<int>(kPlatenWidth * pixelsPerInch);
    image.height = static_cast<int>(kPlatenHeight * pixelsPerInch);
    image.rgb.assign(static_cast<std::size_t>(image.width) * image.height * 3, 0);
    std::fill(image.rgb.begin(), image.rgb.end(), kFilmGrey);
    for (const Rect& r : drawing.rects()) {
        const Span xs = Cover(r.x, r.width, pixelsPerInch, image.width);
        const Span ys = Cover(r.y, r.height, pixelsPerInch, image.height);
        const auto colour = InkColour(r.ink);
        for (int y = ys.first; y < ys.last; ++y) {
            std::uint8_t* row = &image.rgb[(static_cast<std::size_t>(y) * image.width) * 3];
            for (int x = xs.first; x < xs.last; ++x) {
                std::copy(colour.begin(), colour.end(), row + x * 3);
            }
        }
    }
    return image;
}

std::vector<std::uint8_t> RenderRaster(const Drawing& drawing, int dpi, int bytesPerRow, int rows) {
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(bytesPerRow) * rows, 0);
    const int width = bytesPerRow * 8;
    for (const Rect& r : drawing.rects()) {
        const Span xs = Cover(r.x, r.width, dpi, width);
        const Span ys = Cover(r.y, r.height, dpi, rows);
        for (int y = ys.first; y < ys.last; ++y) {
            std::uint8_t* row = &bits[static_cast<std::size_t>(y) * bytesPerRow];
            for (int x = xs.first; x < xs.last; ++x) {
                row[x >> 3] |= static_cast<std::uint8_t>(0x80u >> (x & 7));
            }
        }
    }
    return bits;
}

}  // namespace patterns
