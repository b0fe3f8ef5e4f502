// A character filter for a single-line edit: of the characters typed, only
// those `allowed` accepts reach the edit, and Backspace always does. Keys
// that type nothing (arrows, Home, Delete, Tab) are not touched; control
// characters such as Ctrl+V count as typed characters and are discarded.
// Text inserted by other means (the context menu's Paste) is not filtered.
#pragma once

#include <QChar>

#include <functional>

class QLineEdit;

namespace ui {

void SetCharacterFilter(QLineEdit* edit, std::function<bool(QChar)> allowed);

}  // namespace ui
