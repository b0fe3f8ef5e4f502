// The numbered data blocks a printer reads out with command 28.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "tools/printer-sim/printer_state.h"

namespace kpm::sim {

inline constexpr std::uint32_t kNetworkBlock = 0x8011;    // 128 bytes
inline constexpr std::uint32_t kAlignmentBlock = 0x8013;  // 64 bytes
inline constexpr std::uint32_t kHeadBlock = 0x8016;       // 448 bytes

// The block's bytes for the current state, or nothing for an unknown id.
std::optional<std::vector<unsigned char>> BuildDataBlock(std::uint32_t id,
                                                         const PrinterState& state);

// Sum modulo 2^32 of the data read as big-endian 32-bit words, a final
// partial word padded with zero bytes on the right.
std::uint32_t DataBlockChecksum(const std::vector<unsigned char>& data);

}  // namespace kpm::sim
