#include "spooler/monitors.h"

namespace spooler {

std::string_view SchemeOfDeviceUri(std::string_view uri) noexcept {
    const std::size_t colon = uri.find(':');
    if (colon == std::string_view::npos || colon == 0) {
        return {};
    }
    const std::string_view scheme = uri.substr(0, colon);
    for (const char c : scheme) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!ok) {
            return {};
        }
    }
    return scheme;
}

std::string_view MonitorOfDeviceUri(std::string_view uri) noexcept {
    const std::string_view scheme = SchemeOfDeviceUri(uri);
    if (scheme == "usb") {
        return kUsbMonitor;
    }
    if (scheme == "socket") {
        return kTcpMonitor;
    }
    return scheme;
}

}  // namespace spooler
