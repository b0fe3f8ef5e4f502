#include "resources/patterns/patterns.h"

#include "resources/patterns/pattern_table.h"

namespace kpm::resources {

std::optional<std::span<const unsigned char>> FindPatternJob(int id) noexcept {
    for (std::size_t i = 0; i < kPatternCount; ++i) {
        const PatternEntry& e = kPatternTable[i];
        if (e.id == id) {
            return std::span<const unsigned char>(e.begin, e.end);
        }
    }
    return std::nullopt;
}

}  // namespace kpm::resources
