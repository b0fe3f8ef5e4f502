#include "tools/kpbidi/open_printer.h"

#include "bidi/capi/handle.h"
#include "bidi/communications/linux/host_printer.h"

namespace kpbidi_tool {

PrinterHandle OpenQueue(const std::string& name, kpbidi_error_tag& error) {
    return PrinterHandle(kpbidi_open_printer(name.c_str(), &error));
}

PrinterHandle OpenHost(const std::string& host, kpbidi_error_tag& error) {
    return PrinterHandle(KpBidi::capi::AdoptPrinter(
        std::make_unique<KpBidi::communications::linux::HostPrinter>(host), &error));
}

}  // namespace kpbidi_tool
