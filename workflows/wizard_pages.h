// The pages of every maintenance procedure, for the sheet's page factory.
#pragma once

namespace ui {
class PropertyPage;
}

namespace kpm::workflows {

// A new page for the template, or nullptr where no procedure has one.
ui::PropertyPage* CreatePage(int templateId);

}  // namespace kpm::workflows
