#include "tools/kpbidi/open_printer.h"

namespace kpbidi_tool {

PrinterHandle OpenQueue(const std::string& name, kpbidi_error_tag& error) {
    return PrinterHandle(kpbidi_open_printer(name.c_str(), &error));
}

PrinterHandle OpenHost(const std::string& host, kpbidi_error_tag& error) {
    return PrinterHandle(kpbidi_open_host(host.c_str(), &error));
}

}  // namespace kpbidi_tool
