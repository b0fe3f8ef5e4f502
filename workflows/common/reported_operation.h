// Printer operations of a page whose failure the user is told about: run
// the responsive way (RunPrinterOperation), a non-zero code shown with the
// sheet's ShowErrorMessage. The page stays where it is when they answer
// false.
#pragma once

#include <functional>

class CTovikSheet;

namespace kpm::workflows {

// True when the operation answered 0.
bool RunReportingFailure(CTovikSheet& sheet, const std::function<int()>& operation);

// The preparation of an adjustment: a printer write (a reset, or the values
// the pattern is read against), then the check-pattern job, in one wait. A
// failing write sends no pattern.
bool PrepareAndSendPattern(CTovikSheet& sheet, const std::function<int()>& prepare, int patternId);

}  // namespace kpm::workflows
