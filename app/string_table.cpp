#include "app/string_table.h"

namespace app {

StringTable::StringTable(std::uint16_t languageId)
    : StringTable(languageId, EmbeddedStringTables()) {}

StringTable::StringTable(std::uint16_t languageId, std::span<const StringTableResource> tables)
    : languageId_(languageId) {
    for (const StringTableResource& table : tables) {
        if (table.languageId == languageId) {
            blocks_ = table.blocks;
            break;
        }
    }
}

int StringTable::Load(int id, QString& text) const {
    if (id < 0 || id > 0xFFFF) {
        return kNoText;
    }
    const int number = id / 16 + 1;
    for (const StringBlock& block : blocks_) {
        if (block.number != number) {
            continue;
        }
        // Walk the 16 length-prefixed entries up to ours; a block that ends
        // early (a damaged resource) has no more texts.
        std::size_t pos = 0;
        for (int entry = 0; entry < 16 && pos < block.size; ++entry) {
            const std::size_t length = block.data[pos++];
            if (length > block.size - pos) {
                return kNoText;
            }
            if (entry == id % 16) {
                if (length == 0) {
                    return kNoText;
                }
                text = QString::fromUtf16(block.data + pos, static_cast<qsizetype>(length));
                return 0;
            }
            pos += length;
        }
        return kNoText;
    }
    return kNoText;
}

std::span<const StringTableResource> AvailableStringTables() {
    return EmbeddedStringTables();
}

}  // namespace app
