// kpbidi_open_printer: a handle over a print queue, resolved through the
// print system at every operation.
#include <new>

#include "bidi/capi/error.h"
#include "bidi/capi/handle.h"
#include "bidi/communications/system_printer.h"

extern "C" kpbidi_printer_tag* kpbidi_open_printer(const char* printer_name,
                                                   kpbidi_error_tag* error) {
    if (printer_name == nullptr) {
        if (error != nullptr) {
            error->code = KpBidi::InvalidArgument;
            error->message = "printer_name";
        }
        return nullptr;
    }
    try {
        return KpBidi::capi::AdoptPrinter(KpBidi::SystemPrinter::FromName(printer_name), error);
    } catch (const std::bad_alloc&) {
        if (error != nullptr) {
            error->code = KpBidi::OutOfMemory;
            error->message = nullptr;
        }
        return nullptr;
    }
}
