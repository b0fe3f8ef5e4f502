// The USB printer the simulator plays: what the kernel would show of it in
// sysfs (the device, its printer interface with a bulk-out and a bulk-in
// endpoint, the usblp node), written in umockdev's device-record format so
// that a umockdev testbed can present it to libudev.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kpm::sim {

// The simulator's own USB ids.
inline constexpr std::uint16_t kUsbVendorId = 0x4B50;
inline constexpr std::uint16_t kUsbProductId = 0x0735;

struct UsbDevice {
    // Its name on the bus ("1-1": bus 1, port 1); unique per testbed.
    std::string busPath = "1-1";
    std::uint16_t vendorId = kUsbVendorId;
    std::uint16_t productId = kUsbProductId;
    // None: the device has no serial number string.
    std::optional<std::string> serial;
    std::string manufacturer = "Corvane";
    std::string product = "KPM pro";
    // usblp's node /dev/usb/lp<N>; -1: usblp does not drive the interface.
    int lpMinor = 0;
    // 0 leaves the endpoint out.
    std::uint16_t bulkInMaxPacketSize = 512;
    std::uint16_t bulkOutMaxPacketSize = 512;
    // An interrupt-in endpoint listed before the bulk-in one; 0: none.
    std::uint16_t interruptInMaxPacketSize = 0;
    // usblp's ieee1284_id attribute; none: the attribute is missing.
    std::optional<std::string> ieee1284Id;

    // "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-1"
    std::string SysPath() const;
    // "/dev/usb/lp0", or empty without usblp.
    std::string NodePath() const;
};

// The device in umockdev's record format (P:, E:, A: lines, one paragraph
// per device), for umockdev_testbed_add_from_string or `umockdev-run -d`.
// It has no N: line: the caller puts the node in place (a link to the
// simulator's pseudo-terminal).
std::string UsbDeviceRecord(const UsbDevice& device);

}  // namespace kpm::sim
