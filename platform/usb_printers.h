// USB printers as the kernel sees them at this moment: the devices that
// have an interface of the printer class, with what a program needs to talk
// to them (the usblp device node, the bulk-in packet size, the IEEE 1284
// identifier). The stand-in for a device-setup database and USB hub
// queries; it reads sysfs through libudev and keeps nothing between calls,
// so an unplugged printer is simply absent from the next list.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace platform {

enum class UsbTransferType { Control, Isochronous, Bulk, Interrupt, Unknown };

struct UsbEndpoint {
    std::uint8_t address = 0;  // bit 7 set: towards the host (IN)
    UsbTransferType type = UsbTransferType::Unknown;
    std::uint16_t maxPacketSize = 0;

    bool IsIn() const noexcept { return (address & 0x80) != 0; }
};

// An interface of the printer class (7).
struct UsbPrinterInterface {
    std::string syspath;
    // Ordered by endpoint address.
    std::vector<UsbEndpoint> endpoints;
    // The usblp device node ("/dev/usb/lp0"); empty while usblp does not
    // drive the interface (the module is not loaded, or a program such as
    // CUPS's usb backend has claimed the interface for itself).
    std::string deviceNode;
    // usblp's copy of the printer's IEEE 1284 device identifier.
    std::optional<std::string> ieee1284Id;

    // The first bulk endpoint towards the host, or nullptr.
    const UsbEndpoint* BulkIn() const noexcept;
};

struct UsbPrinter {
    std::string syspath;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    // The serial number string; empty when the device has none.
    std::string serial;
    // Its printer-class interfaces, in the order of their names.
    std::vector<UsbPrinterInterface> interfaces;

    // The interface a program talks through: the first one usblp drives, or
    // the first one when usblp drives none.
    const UsbPrinterInterface& PrinterInterface() const noexcept;
};

// Every USB device in sysfs now that has a printer-class interface, ordered
// by its sysfs path. `error` is set only when udev itself cannot be used; a
// device whose attributes cannot be read is left out.
std::vector<UsbPrinter> ListUsbPrinters(std::error_code& error);

}  // namespace platform
