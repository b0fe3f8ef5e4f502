// Controls of a dialog template, known by their numeric control ids. A
// control's id is in its object name, "ctl_<id>" (set in Qt Designer).
#pragma once

#include <QString>

#include <cstdint>

class QComboBox;
class QWidget;

namespace ui {

QString ControlName(int id);
// The control's id, or -1 when its object name is not "ctl_<id>".
int ControlId(const QWidget* control);
// The control with that id among the children of `root`, or nullptr.
QWidget* FindControl(const QWidget* root, int id);

// The control's own text, whatever its kind: a label's or button's text, an
// edit's contents, a group box's title, a drop-down list's current item.
// Labels always take it as plain text ("<Note>" is not markup).
void SetWindowText(QWidget* control, const QString& text);
QString WindowText(const QWidget* control);

// Drop-down list entries with a 32-bit item value each. A list whose
// template sets the property "sorted" inserts in case-insensitive order.
int AddComboItem(QComboBox* combo, const QString& text, std::uint32_t value);
std::uint32_t ComboItemValue(const QComboBox* combo, int index);

}  // namespace ui
