// Where the sheet gets the pages of the maintenance procedures. The shell
// does not know them: the program that links the procedures hands the sheet
// a factory, which answers a template id with a new page, or with nullptr
// where that procedure has no page of its own (the sheet then shows the
// template alone).
#pragma once

#include <functional>

namespace ui {
class PropertyPage;
}

using PageFactory = std::function<ui::PropertyPage*(int templateId)>;
