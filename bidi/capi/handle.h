// What a kpbidi_printer_tag is, for the library's own C++ code (the flat
// interface, the command-line tool and tests). Not part of the C interface.
#pragma once

#include <memory>

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

}  // namespace KpBidi::capi
