// A PNG writer for the previews: 8-bit RGB, one IDAT, zlib compression.
#pragma once

#include <cstdint>
#include <vector>

#include "render.h"

namespace patterns {

std::vector<std::uint8_t> EncodePng(const Image& image);

}  // namespace patterns
