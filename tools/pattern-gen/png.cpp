#include "png.h"

#include <zlib.h>

#include <stdexcept>
#include <string_view>

namespace patterns {
namespace {

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 24));
    out.push_back(static_cast<std::uint8_t>(v >> 16));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

// Length, type, data, and the CRC of type and data.
void PutChunk(std::vector<std::uint8_t>& out, std::string_view type,
              const std::vector<std::uint8_t>& data) {
    PutU32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0L, &out[typeAt], static_cast<uInt>(out.size() - typeAt));
    PutU32(out, static_cast<std::uint32_t>(crc));
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const Image& image) {
    // Every row starts with filter type 0 (none).
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 3;
    std::vector<std::uint8_t> raw;
    raw.reserve((rowBytes + 1) * image.height);
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);
        const auto* row = &image.rgb[y * rowBytes];
        raw.insert(raw.end(), row, row + rowBytes);
    }
    uLongf compressedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> compressed(compressedSize);
    if (compress2(compressed.data(), &compressedSize, raw.data(), static_cast<uLong>(raw.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        throw std::runtime_error("PNG compression failed");
    }
    compressed.resize(compressedSize);

    std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    PutU32(header, static_cast<std::uint32_t>(image.width));
    PutU32(header, static_cast<std::uint32_t>(image.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", compressed);
    PutChunk(png, "IEND", {});
    return png;
}

}  // namespace patterns
