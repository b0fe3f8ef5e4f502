#include "tools/printer-sim/usb_device.h"

#include <cstdio>

namespace kpm::sim {
namespace {

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*x", digits, value);
    return text;
}

// A record value: backslashes and line ends escaped.
std::string Escaped(const std::string& value) {
    std::string out;
    for (const char c : value) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

void Attribute(std::string& record, const std::string& name, const std::string& value) {
    record += "A: " + name + "=" + Escaped(value) + "\n";
}

void Endpoint(std::string& record, unsigned address, const char* type, unsigned size) {
    const std::string ep = "ep_" + Hex(address, 2) + "/";
    Attribute(record, ep + "bEndpointAddress", Hex(address, 2));
    Attribute(record, ep + "type", type);
    Attribute(record, ep + "direction", (address & 0x80) != 0 ? "in" : "out");
    Attribute(record, ep + "wMaxPacketSize", Hex(size, 4));
}

}  // namespace

std::string UsbDevice::SysPath() const {
    return "/sys/devices/pci0000:00/0000:00:14.0/usb1/" + busPath;
}

std::string UsbDevice::NodePath() const {
    return lpMinor < 0 ? std::string() : "/dev/usb/lp" + std::to_string(lpMinor);
}

std::string UsbDeviceRecord(const UsbDevice& device) {
    // umockdev wants device paths without the /sys prefix.
    const std::string path = device.SysPath().substr(4);
    std::string record = "P: " + path + "\n";
    record += "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DRIVER=usb\n";
    Attribute(record, "idVendor", Hex(device.vendorId, 4));
    Attribute(record, "idProduct", Hex(device.productId, 4));
    Attribute(record, "manufacturer", device.manufacturer);
    Attribute(record, "product", device.product);
    if (device.serial) {
        Attribute(record, "serial", *device.serial);
    }
    Attribute(record, "bDeviceClass", "00");
    Attribute(record, "speed", "480");

    const std::string interface = path + "/" + device.busPath + ":1.0";
    record += "\nP: " + interface + "\n";
    record += "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\nE: DRIVER=usblp\n";
    Attribute(record, "bInterfaceNumber", "00");
    Attribute(record, "bInterfaceClass", "07");
    Attribute(record, "bInterfaceSubClass", "01");
    Attribute(record, "bInterfaceProtocol", "02");  // bidirectional
    Endpoint(record, 0x01, "Bulk", device.bulkOutMaxPacketSize);
    if (device.interruptInMaxPacketSize != 0) {
        Endpoint(record, 0x81, "Interrupt", device.interruptInMaxPacketSize);
    }
    if (device.bulkInMaxPacketSize != 0) {
        Endpoint(record, 0x82, "Bulk", device.bulkInMaxPacketSize);
    }
    if (device.ieee1284Id) {
        Attribute(record, "ieee1284_id", *device.ieee1284Id);
    }

    if (device.lpMinor >= 0) {
        const std::string minor = std::to_string(device.lpMinor);
        record += "\nP: " + interface + "/usbmisc/lp" + minor + "\n";
        record += "E: SUBSYSTEM=usbmisc\nE: DEVNAME=" + device.NodePath() + "\n";
        record += "E: MAJOR=180\nE: MINOR=" + minor + "\n";
        Attribute(record, "dev", "180:" + minor);
    }
    return record;
}

}  // namespace kpm::sim
