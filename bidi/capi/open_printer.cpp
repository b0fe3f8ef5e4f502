// Opening handles: kpbidi_open_printer over a print queue, resolved through
// the print system at every operation, and kpbidi_open_host over a network
// printer known only by its host.
#include <memory>
#include <new>

#include "bidi/capi/error.h"
#include "bidi/capi/handle.h"
#include "bidi/communications/linux/host_printer.h"
#include "bidi/communications/system_printer.h"

namespace {

void Report(kpbidi_error_tag* error, std::int32_t code, const char* message) noexcept {
    if (error != nullptr) {
        error->code = code;
        error->message = message;
    }
}

// A handle over `make(argument)`; a NULL argument is reported by its name.
template <class Make>
kpbidi_printer_tag* Open(const char* argument, const char* name, kpbidi_error_tag* error,
                         Make&& make) {
    if (argument == nullptr) {
        Report(error, KpBidi::InvalidArgument, name);
        return nullptr;
    }
    try {
        return KpBidi::capi::AdoptPrinter(make(argument), error);
    } catch (const std::bad_alloc&) {
        Report(error, KpBidi::OutOfMemory, nullptr);
        return nullptr;
    }
}

}  // namespace

extern "C" kpbidi_printer_tag* kpbidi_open_printer(const char* printer_name,
                                                   kpbidi_error_tag* error) {
    return Open(printer_name, "printer_name", error,
                [](const char* name) { return KpBidi::SystemPrinter::FromName(name); });
}

extern "C" kpbidi_printer_tag* kpbidi_open_host(const char* host, kpbidi_error_tag* error) {
    return Open(host, "host", error, [](const char* name) {
        return std::make_unique<KpBidi::communications::linux::HostPrinter>(name);
    });
}
