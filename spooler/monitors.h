// Names of the port monitors. A queue's port is its device URI; the backend
// named by the URI's scheme plays the part of the port monitor. The two
// backends that reach KPM printers go by the names of the monitors the
// maintenance protocol was built around, so callers compare one name
// whatever print system is underneath.
#pragma once

#include <string_view>

namespace spooler {

// usb: URIs, printers attached by USB.
inline constexpr std::string_view kUsbMonitor = "Dynamic Print Monitor";
// socket: URIs, the standard TCP/IP port (raw data to a host's port).
inline constexpr std::string_view kTcpMonitor = "TCPMON.DLL";

// The monitor owning a device URI: kUsbMonitor for the scheme "usb",
// kTcpMonitor for "socket", the scheme itself for any other, and an empty
// name for a text without a scheme. Schemes are compared exactly, as the
// print system picks its backends.
std::string_view MonitorOfDeviceUri(std::string_view uri) noexcept;

// The scheme of a device URI ("socket"), or an empty view.
std::string_view SchemeOfDeviceUri(std::string_view uri) noexcept;

}  // namespace spooler
