// The JSON result documents: compact, members sorted by name, UTF-8.
#pragma once

#include <string>

#include "bidi/protocol/printer.h"

namespace KpBidi {

// {"digits_18_code":"...","mac_address":"..","serial_number":"..."}
// Raises (from the JSON library) when a text is not valid UTF-8.
std::string PrinterInfoDocument(const PrinterInfo& info);

// One member per distinct time, "HH:MM": "normal" | "long"; a later entry
// with the same time replaces the earlier one. An empty schedule is {}.
std::string CirculationScheduleDocument(const CirculationSchedule& schedule);

}  // namespace KpBidi
