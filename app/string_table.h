// Texts of one language, looked up by string id in the embedded blocks.
#pragma once

#include <QString>

#include <cstdint>
#include <span>

#include "app/string_blocks.h"

namespace app {

// LoadText's result when the language has no text with the id.
constexpr int kNoText = -100;

class StringTable {
public:
    // The table of `languageId` among the embedded ones; a language without
    // a table has no texts at all.
    explicit StringTable(std::uint16_t languageId);
    StringTable(std::uint16_t languageId, std::span<const StringTableResource> tables);

    std::uint16_t LanguageId() const { return languageId_; }
    // 0 and the text, or kNoText (and `text` untouched).
    int Load(int id, QString& text) const;

private:
    std::uint16_t languageId_;
    std::span<const StringBlock> blocks_;
};

// The languages that have a table, in the order they were built.
std::span<const StringTableResource> AvailableStringTables();

}  // namespace app
