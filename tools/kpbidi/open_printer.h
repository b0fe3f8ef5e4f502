// Choosing the printer the kpbidi tool talks to.
#pragma once

#include <string>

#include "bidi/capi/kpbidi_owned.h"

namespace kpbidi_tool {

using kpbidi::PrinterHandle;

// The printer of a print queue, as the wizard opens it.
PrinterHandle OpenQueue(const std::string& name, kpbidi_error_tag& error);

// A network printer reached directly at `host` (name or IPv4 address),
// without a print queue.
PrinterHandle OpenHost(const std::string& host, kpbidi_error_tag& error);

}  // namespace kpbidi_tool
