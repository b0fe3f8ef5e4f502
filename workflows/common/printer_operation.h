// Printer operations run from a page without freezing the window.
//
// A printer that does not answer keeps a facade operation waiting for up to
// ten seconds a read (a minute in all for one that trickles its reply), and
// pages call the operations from their handlers on
// the user-interface thread. RunPrinterOperation runs the operation on a
// worker thread instead and waits in a local event loop, so the window keeps
// painting while the user cannot act on it: mouse, keyboard, input-method,
// drop and close requests to the sheet's window are swallowed (not queued
// for later, so an impatient second press of Next never arrives), the sheet
// is busy (its buttons, the page's buttons and the window menu do nothing,
// also through the accessibility bus; ui::PropertySheet::SetBusy), any other
// window keeps its input, the cursor shows the wait state, and the
// sheet's busy indicator appears once the operation has lasted longer than
// kBusyIndicatorDelayMs. The operation's code is returned as a direct call
// would return it; an exception it throws is thrown again here.
//
// The operation may use the sheet's printer state (the facade does): the
// user-interface thread leaves it alone while it waits, as nothing but
// painting and timers runs meanwhile.
#pragma once

#include <functional>

namespace ui {
class PropertySheet;
}

namespace kpm::workflows {

inline constexpr int kBusyIndicatorDelayMs = 250;

int RunPrinterOperation(ui::PropertySheet& sheet, const std::function<int()>& operation);

}  // namespace kpm::workflows
