// Byte-level constants of the packet layout and big-endian helpers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace KpBidi::wire {

inline constexpr std::size_t kLeadingZeros = 2432;
inline constexpr std::size_t kHeaderSize = 32;
inline constexpr std::size_t kFooterSize = 16;
inline constexpr std::size_t kCommandPrefixSize = 8;  // 23 23, code, length
inline constexpr std::size_t kPaddingBlock = 2048;
inline constexpr std::size_t kSerializeReserve = 6528;
inline constexpr std::size_t kEnvelopeHeaderSize = 8;

inline constexpr std::array<unsigned char, 5> kHeaderMarker{0x1B, 0x7C, 0x31, 0x30, 0x40};
inline constexpr std::array<unsigned char, 5> kFooterMarker{0x1B, 0x7C, 0x31, 0x30, 0x24};
inline constexpr unsigned char kCommandTag = 0x23;
inline constexpr unsigned char kEnvelopeTag = 0x40;

inline void PutU16(std::vector<unsigned char>& out, std::uint16_t v) {
    out.push_back(static_cast<unsigned char>(v >> 8));
    out.push_back(static_cast<unsigned char>(v));
}

inline void PutU32(std::vector<unsigned char>& out, std::uint32_t v) {
    out.push_back(static_cast<unsigned char>(v >> 24));
    out.push_back(static_cast<unsigned char>(v >> 16));
    out.push_back(static_cast<unsigned char>(v >> 8));
    out.push_back(static_cast<unsigned char>(v));
}

inline void SetU16(unsigned char* p, std::uint16_t v) {
    p[0] = static_cast<unsigned char>(v >> 8);
    p[1] = static_cast<unsigned char>(v);
}

inline void SetU32(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

inline std::uint16_t GetU16(const unsigned char* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

inline std::uint32_t GetU32(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

}  // namespace KpBidi::wire
