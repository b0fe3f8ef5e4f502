// The compiled string tables as the build embeds them: per language, blocks
// of 16 texts. Block n holds the ids 16 (n - 1) to 16 (n - 1) + 15; its data
// is 16 entries, each a length (in UTF-16 units) followed by that many UTF-16
// units. A length of 0 means the language has no text with that id. Blocks
// without any text are left out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace app {

struct StringBlock {
    std::uint16_t number;
    const char16_t* data;
    std::size_t size;  // in UTF-16 units
};

struct StringTableResource {
    std::uint16_t languageId;
    std::span<const StringBlock> blocks;
};

// Generated at build time from resources/strings/*.po.
std::span<const StringTableResource> EmbeddedStringTables();

}  // namespace app
