// Choosing the printer the kpbidi tool talks to.
#pragma once

#include <memory>
#include <string>

#include "bidi/capi/kpbidi.h"

namespace kpbidi_tool {

struct HandleCloser {
    void operator()(kpbidi_printer_tag* p) const { kpbidi_close_printer(p); }
};
using PrinterHandle = std::unique_ptr<kpbidi_printer_tag, HandleCloser>;

// The printer of a print queue, as the wizard opens it.
PrinterHandle OpenQueue(const std::string& name, kpbidi_error_tag& error);

// A network printer reached directly at `host` (name or IPv4 address),
// without a print queue.
PrinterHandle OpenHost(const std::string& host, kpbidi_error_tag& error);

}  // namespace kpbidi_tool
