// The pages of every maintenance procedure, for the sheet, and the example
// dialogs they open, for reviewing them all: each in one table.
#pragma once

#include <span>

#include "app/page_factory.h"

class CTovikSheet;

namespace ui {
class Dialog;
}  // namespace ui

namespace kpm::workflows {

// The sheet's pages after the main page, in the order of their indices.
PageTable WizardPages();

struct ExampleEntry {
    int templateId;
    // A new example dialog over `sheet`.
    ui::Dialog* (*create)(CTovikSheet* sheet);
};
std::span<const ExampleEntry> ExampleDialogs();

}  // namespace kpm::workflows
