// A character filter for a single-line edit: the edit holds only characters
// that `allowed` accepts, however text arrives.
//
// Typed keys are filtered before they reach the edit: of the characters
// typed, only the allowed ones arrive, and Backspace always does. Keys that
// type nothing (arrows, Home, Delete, Tab) are not touched; control
// characters such as Ctrl+V count as typed characters and are discarded.
// Text that arrives otherwise (committed by an input method or a dead-key
// sequence, pasted from the context menu, dropped, set through the
// accessibility bus or by the program) loses its disallowed characters as
// it is inserted; the cursor stays after the last character inserted.
#pragma once

#include <QChar>

#include <functional>

class QLineEdit;

namespace ui {

// Replaces any validator the edit had.
void SetCharacterFilter(QLineEdit* edit, std::function<bool(QChar)> allowed);

}  // namespace ui
