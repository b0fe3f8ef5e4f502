// The USB device behind a USB print queue, and what the USB transport needs
// of it. A queue's port is its device URI, "usb://MAKE/MODEL?serial=SERIAL";
// the device is the USB printer (a device with a printer-class interface)
// whose serial number is exactly SERIAL. Devices are known by the instance
// identifier "USB\VID_vvvv&PID_pppp\SERIAL", which also names their port
// lock. Every call looks at sysfs again; nothing is cached.
//
// Failures are std::runtime_error with the texts below; a failure of udev
// itself is a std::system_error.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/usb_printers.h"

namespace KpBidi::communications::linux {

inline constexpr char kUsbPortNotFound[] = "GetUSBPrintDeviceInstanceID: USB Port not found.";

// "USB\VID_%04X&PID_%04X\%s": four upper-case hexadecimal digits each, then
// the serial number as it is (an empty one leaves a trailing backslash).
std::string UsbDeviceInstanceId(std::uint16_t vendorId, std::uint16_t productId,
                                std::string_view serial);

// The printer plugged in now whose instance identifier is `instanceId`:
// whether it is present, and what it offers.
std::optional<platform::UsbPrinter> FindUsbPrinter(const std::string& instanceId);

// The printer plugged in now that the queue port `port` (its device URI)
// names, or none (unplugged, or not a usb: URI).
std::optional<platform::UsbPrinter> FindUsbPrinterOfPort(const std::string& port);

// The instance identifier of the printer behind `port`; kUsbPortNotFound
// when no such printer is plugged in.
std::string GetUSBPrintDeviceInstanceID(const std::string& port);

// The usblp device node of the printer; kUsbPortNotFound when the printer
// is not plugged in or usblp does not drive it.
std::string GetUSBPrintDevicePath(const std::string& instanceId);

}  // namespace KpBidi::communications::linux
