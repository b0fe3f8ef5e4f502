// What screen readers get from our controls beyond Qt's own interfaces:
//   - a radio button or check box chosen through its accessibility action
//     (Toggle, Press) is clicked, as by the mouse, so the page's click
//     handler runs exactly as for every other way the user chooses it;
//   - a tool button that pops up its menu at once has that menu as its
//     child, so its entries can be found and chosen without opening it;
//   - neither acts while its property sheet is busy (a printer wait), where
//     mouse and keys do nothing either.
#pragma once

#include <QString>

namespace ui {

// Registers the interfaces with Qt's accessibility layer; every sheet,
// dialog and template does it before its controls exist. Idempotent.
void InstallAccessibleControls();

// A control's text as a screen reader should say it: mnemonic markers
// ("&Next", "Yes(&Y)") removed, "&&" read as "&".
QString AccessibleText(const QString& text);

}  // namespace ui
