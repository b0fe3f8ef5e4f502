#include "bidi/communications/linux/usb_lookup.h"

#include <cstdio>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "spooler/device_uri.h"

namespace KpBidi::communications::linux {
namespace {

std::vector<platform::UsbPrinter> Printers() {
    std::error_code error;
    std::vector<platform::UsbPrinter> printers = platform::ListUsbPrinters(error);
    if (error) {
        throw std::system_error(error, "ListUsbPrinters");
    }
    return printers;
}

std::string InstanceIdOf(const platform::UsbPrinter& printer) {
    return UsbDeviceInstanceId(printer.vendorId, printer.productId, printer.serial);
}

}  // namespace

std::string UsbDeviceInstanceId(std::uint16_t vendorId, std::uint16_t productId,
                                std::string_view serial) {
    char ids[32];
    std::snprintf(ids, sizeof ids, "USB\\VID_%04X&PID_%04X\\", vendorId, productId);
    return ids + std::string(serial);
}

std::optional<platform::UsbPrinter> FindUsbPrinter(const std::string& instanceId) {
    for (platform::UsbPrinter& printer : Printers()) {
        if (InstanceIdOf(printer) == instanceId) {
            return std::move(printer);
        }
    }
    return std::nullopt;
}

std::optional<platform::UsbPrinter> FindUsbPrinterOfPort(const std::string& port) {
    std::error_code error;
    const std::string serial = spooler::SerialOfUsbUri(port, error);
    if (error) {
        return std::nullopt;
    }
    for (platform::UsbPrinter& printer : Printers()) {
        if (printer.serial == serial) {
            return std::move(printer);
        }
    }
    return std::nullopt;
}

std::string GetUSBPrintDeviceInstanceID(const std::string& port) {
    const auto printer = FindUsbPrinterOfPort(port);
    if (!printer) {
        throw std::runtime_error(kUsbPortNotFound);
    }
    return InstanceIdOf(*printer);
}

std::string GetUSBPrintDevicePath(const std::string& instanceId) {
    const auto printer = FindUsbPrinter(instanceId);
    if (!printer || printer->PrinterInterface().deviceNode.empty()) {
        throw std::runtime_error(kUsbPortNotFound);
    }
    return printer->PrinterInterface().deviceNode;
}

}  // namespace KpBidi::communications::linux
