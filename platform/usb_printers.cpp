#include "platform/usb_printers.h"

#include <libudev.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <map>
#include <memory>
#include <string_view>

namespace platform {
namespace {

struct UdevUnref {
    void operator()(udev* u) const noexcept { udev_unref(u); }
    void operator()(udev_enumerate* e) const noexcept { udev_enumerate_unref(e); }
    void operator()(udev_device* d) const noexcept { udev_device_unref(d); }
};
using Udev = std::unique_ptr<udev, UdevUnref>;
using Enumerate = std::unique_ptr<udev_enumerate, UdevUnref>;
using Device = std::unique_ptr<udev_device, UdevUnref>;

constexpr std::string_view kPrinterClass = "07";

std::error_code ErrnoOr(std::errc fallback) {
    return errno != 0 ? std::error_code(errno, std::generic_category())
                      : std::make_error_code(fallback);
}

std::string_view Attribute(udev_device* device, const char* name) {
    const char* value = udev_device_get_sysattr_value(device, name);
    return value != nullptr ? std::string_view(value) : std::string_view();
}

// A sysfs number written in hexadecimal ("4b50", "0200", "82").
template <typename T>
std::optional<T> Hex(std::string_view text) {
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

UsbTransferType TransferType(std::string_view text) {
    if (text == "Bulk") {
        return UsbTransferType::Bulk;
    }
    if (text == "Interrupt") {
        return UsbTransferType::Interrupt;
    }
    if (text == "Isoc") {
        return UsbTransferType::Isochronous;
    }
    if (text == "Control") {
        return UsbTransferType::Control;
    }
    return UsbTransferType::Unknown;
}

// The syspaths of the devices of `subsystem`, in udev's order.
std::vector<std::string> Scan(udev* u, const char* subsystem, std::error_code& error) {
    errno = 0;
    Enumerate enumerate(udev_enumerate_new(u));
    if (!enumerate) {
        error = ErrnoOr(std::errc::not_enough_memory);
        return {};
    }
    int rc = udev_enumerate_add_match_subsystem(enumerate.get(), subsystem);
    if (rc >= 0) {
        rc = udev_enumerate_scan_devices(enumerate.get());
    }
    if (rc < 0) {
        error = std::error_code(-rc, std::generic_category());
        return {};
    }
    std::vector<std::string> paths;
    udev_list_entry* entry;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get())) {
        paths.emplace_back(udev_list_entry_get_name(entry));
    }
    return paths;
}

// The endpoints of an interface are the ep_XX folders beside its
// attributes; udev lists devices, not these.
std::vector<UsbEndpoint> Endpoints(udev_device* interface) {
    std::vector<UsbEndpoint> endpoints;
    std::error_code ignored;
    for (const auto& entry :
         std::filesystem::directory_iterator(udev_device_get_syspath(interface), ignored)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("ep_", 0) != 0) {
            continue;
        }
        const auto address =
            Hex<std::uint8_t>(Attribute(interface, (name + "/bEndpointAddress").c_str()));
        const auto size =
            Hex<std::uint16_t>(Attribute(interface, (name + "/wMaxPacketSize").c_str()));
        if (!address || !size) {
            continue;
        }
        endpoints.push_back(
            {*address, TransferType(Attribute(interface, (name + "/type").c_str())), *size});
    }
    std::sort(endpoints.begin(), endpoints.end(),
              [](const UsbEndpoint& a, const UsbEndpoint& b) { return a.address < b.address; });
    return endpoints;
}

}  // namespace

const UsbEndpoint* UsbPrinterInterface::BulkIn() const noexcept {
    for (const UsbEndpoint& e : endpoints) {
        if (e.IsIn() && e.type == UsbTransferType::Bulk) {
            return &e;
        }
    }
    return nullptr;
}

const UsbPrinterInterface& UsbPrinter::PrinterInterface() const noexcept {
    for (const UsbPrinterInterface& i : interfaces) {
        if (!i.deviceNode.empty()) {
            return i;
        }
    }
    return interfaces.front();
}

std::vector<UsbPrinter> ListUsbPrinters(std::error_code& error) {
    error.clear();
    errno = 0;
    const Udev u(udev_new());
    if (!u) {
        error = ErrnoOr(std::errc::not_enough_memory);
        return {};
    }
    const std::vector<std::string> usb = Scan(u.get(), "usb", error);
    if (error) {
        return {};
    }

    std::map<std::string, UsbPrinter> printers;  // by the device's syspath
    for (const std::string& path : usb) {
        const Device interface(udev_device_new_from_syspath(u.get(), path.c_str()));
        if (!interface) {
            continue;  // gone since the scan
        }
        const char* devtype = udev_device_get_devtype(interface.get());
        if (devtype == nullptr || std::string_view(devtype) != "usb_interface" ||
            Attribute(interface.get(), "bInterfaceClass") != kPrinterClass) {
            continue;
        }
        // Owned by the interface.
        udev_device* device =
            udev_device_get_parent_with_subsystem_devtype(interface.get(), "usb", "usb_device");
        if (device == nullptr) {
            continue;
        }
        const auto vendor = Hex<std::uint16_t>(Attribute(device, "idVendor"));
        const auto product = Hex<std::uint16_t>(Attribute(device, "idProduct"));
        if (!vendor || !product) {
            continue;
        }
        UsbPrinter& printer = printers[udev_device_get_syspath(device)];
        printer.syspath = udev_device_get_syspath(device);
        printer.vendorId = *vendor;
        printer.productId = *product;
        printer.serial = std::string(Attribute(device, "serial"));

        UsbPrinterInterface found;
        found.syspath = path;
        found.endpoints = Endpoints(interface.get());
        if (const char* id = udev_device_get_sysattr_value(interface.get(), "ieee1284_id")) {
            found.ieee1284Id = id;
        }
        printer.interfaces.push_back(std::move(found));
    }

    // usblp's nodes are class devices below the interfaces it drives.
    const std::vector<std::string> nodes = Scan(u.get(), "usbmisc", error);
    if (error) {
        return {};
    }
    for (const std::string& path : nodes) {
        const Device node(udev_device_new_from_syspath(u.get(), path.c_str()));
        udev_device* parent = node ? udev_device_get_parent(node.get()) : nullptr;
        const char* devnode = node ? udev_device_get_devnode(node.get()) : nullptr;
        if (parent == nullptr || devnode == nullptr) {
            continue;
        }
        const std::string_view parentPath = udev_device_get_syspath(parent);
        for (auto& [syspath, printer] : printers) {
            for (UsbPrinterInterface& i : printer.interfaces) {
                if (i.syspath == parentPath && i.deviceNode.empty()) {
                    i.deviceNode = devnode;
                }
            }
        }
    }

    std::vector<UsbPrinter> list;
    for (auto& [syspath, printer] : printers) {
        std::sort(printer.interfaces.begin(), printer.interfaces.end(),
                  [](const UsbPrinterInterface& a, const UsbPrinterInterface& b) {
                      return a.syspath < b.syspath;
                  });
        list.push_back(std::move(printer));
    }
    return list;
}

}  // namespace platform
