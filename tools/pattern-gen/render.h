// Turning a drawing into pixels: a colour preview and the printer's raster.
#pragma once

#include <cstdint>
#include <vector>

#include "drawing.h"

namespace patterns {

// 8-bit RGB, rows top to bottom.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

// The whole platen at `pixelsPerInch`, film-dark where nothing is printed,
// each ink in its own colour.
Image RenderPreview(const Drawing& drawing, int pixelsPerInch);

// One bit per dot (1 = ink of any colour), most significant bit leftmost,
// rows of `bytesPerRow` bytes, `rows` rows at `dpi` dots per inch both ways.
// Rows past the drawing stay blank.
std::vector<std::uint8_t> RenderRaster(const Drawing& drawing, int dpi, int bytesPerRow, int rows);

}  // namespace patterns
