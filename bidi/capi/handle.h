// What a kpbidi_printer_tag is, for the library's own C++ code (the flat
// interface, the command-line tool and tests). Not part of the C interface.
#pragma once

#include <memory>
#include <string>

#include "bidi/capi/kpbidi.h"
#include "bidi/protocol/printer.h"

struct kpbidi_printer_tag {
    std::unique_ptr<KpBidi::Printer> printer;
};

namespace KpBidi::capi {

// A handle over any printer, for callers that reach a printer other than by
// its print-queue name (the command-line tool's --host, tests). Returns NULL
// and fills `error` (1000 "printer" for a null printer, 1007) on failure.
kpbidi_printer_tag* AdoptPrinter(std::unique_ptr<Printer> printer, kpbidi_error_tag* error);

// The printer's IEEE 1284 device identifier, read through its connector
// (SNMP for network printers, the USB device otherwise), reported like every
// flat function: the empty string and a filled `error` on failure. The
// wizard has no use for it; the command-line tool has.
std::string GetDeviceId(kpbidi_printer_tag* printer, kpbidi_error_tag* error);

}  // namespace KpBidi::capi
