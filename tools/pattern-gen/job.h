// A printer job that prints one check pattern, in the printer's packet
// framing.
#pragma once

#include <cstdint>
#include <vector>

#include "patterns.h"

namespace patterns {

// Job commands.
inline constexpr std::uint16_t kJobInformation = 30;
inline constexpr std::uint16_t kHostInformation = 31;
inline constexpr std::uint16_t kJobTitle = 34;
inline constexpr std::uint16_t kPlatenSize = 52;
inline constexpr std::uint16_t kPreview = 60;
inline constexpr std::uint16_t kRaster = 70;

// Header kind and subkind of a print job (requests of the command
// protocol carry 0x43).
inline constexpr std::uint8_t kJobKind = 0x0C;
inline constexpr std::uint8_t kJobSubkind = 0x50;

// The job's bytes, exactly job.size of them: the packet carries job
// information, host information, the title, the platen size "14x16", a PNG
// preview of the pattern and the pattern's raster at the finest resolution
// that fills the size. Throws std::runtime_error if the size cannot hold
// the pattern.
std::vector<std::uint8_t> BuildJob(const PatternJob& job);

// The preview picture alone (as carried in the job).
std::vector<std::uint8_t> BuildPreview(const PatternJob& job);

}  // namespace patterns
