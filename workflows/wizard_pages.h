// The pages of every maintenance procedure, for the sheet's page factory.
#pragma once

#include <array>

class CTovikSheet;

namespace ui {
class Dialog;
class PropertyPage;
}  // namespace ui

namespace kpm::workflows {

// A new page for the template, or nullptr where no procedure has one.
ui::PropertyPage* CreatePage(int templateId);

// The example dialogs the procedures' pages open, for reviewing them all.
inline constexpr std::array<int, 4> kExampleDialogs{196, 197, 304, 306};
// A new example dialog for the template over `sheet`, or nullptr.
ui::Dialog* CreateExampleDialog(int templateId, CTovikSheet* sheet);

}  // namespace kpm::workflows
