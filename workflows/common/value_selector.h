// The drop-down lists from which the user reads a value off a printed
// check pattern. Their items are texts of numbers; the neutral item (the
// printer's current setting, no change) is selected after filling, and
// pages select it again on every entry so that a reading never carries over
// from a previous pass.
#pragma once

class QComboBox;

namespace kpm::workflows {

// Firing steps: "1" to "4" where `lowest` allows them, "5" always, "6" to
// "9" where `highest` allows them; "5" selected.
void FillFiringSelector(QComboBox* list, int lowest, int highest);

enum class PlusSign { Without, With };

// Every value from `first` to `last` in that order (either direction),
// "%d" or, with PlusSign::With, "%+d" except for "0"; "0" selected when it
// is among them.
void FillSignedSelector(QComboBox* list, int first, int last, PlusSign sign);

// The number the current item reads ("+3" is 3), or 0 when nothing is
// selected.
int SelectorValue(const QComboBox* list);

// Selects the first item reading `value`; false (selection unchanged) when
// there is none.
bool SelectValue(QComboBox* list, int value);

}  // namespace kpm::workflows
