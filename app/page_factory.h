// Where the sheet gets the pages of the maintenance procedures. The shell
// does not know them: the program that links the procedures hands the sheet
// their table, one entry a page in the order that fixes the page indices
// after the main page. An entry without `create` is shown as its template
// alone (a CPlainPage).
#pragma once

#include <span>

namespace ui {
class PropertyPage;
}

struct PageEntry {
    int templateId;
    ui::PropertyPage* (*create)() = nullptr;
};

using PageTable = std::span<const PageEntry>;
