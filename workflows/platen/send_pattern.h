// The preparation of each phase: a printer write that sets the values the
// pattern is read against, then the pattern job, one after the other in one
// responsive wait. A failing write sends no pattern; either failure is shown
// and the page stays.
#pragma once

#include <functional>

class CTovikSheet;

namespace kpm::workflows::platen {

// True when both succeeded; otherwise the failure has been shown.
bool PrepareAndSendPattern(CTovikSheet& sheet, const std::function<int(CTovikSheet&)>& prepare,
                           int patternId);

}  // namespace kpm::workflows::platen
