// Dialog templates: the layouts of pages and dialogs, kept as Qt Designer
// files under resources/dialogs/ and embedded by the build. A template is
// known by its id, the number at the start of its file name
// ("102_main.ui" is template 102).
#pragma once

#include <QWidget>

#include <memory>

namespace ui {

bool HasDialogTemplate(int templateId);

// Builds the widgets of the template into `parent`, which must not have a
// layout yet; returns false (and leaves `parent` empty) when there is no such
// template or it cannot be read.
bool BuildDialogTemplate(int templateId, QWidget* parent);

}  // namespace ui
