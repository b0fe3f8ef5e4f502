// USB printers on the kernel's own USB stack, inside the virtual machine of
// scripts/usb-vm (label real-usb): a configfs gadget with one FunctionFS
// function on a dummy_hcd controller, served by the printer simulator.
// Outside that machine the constructors throw, saying so.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/printer-sim/simulator.h"
#include "tools/printer-sim/usb_device.h"

namespace kpm::test {

// What the computer learns from the device descriptor.
struct GadgetIdentity {
    std::uint16_t vendorId = kpm::sim::kUsbVendorId;
    std::uint16_t productId = kpm::sim::kUsbProductId;
    // None: the device has no serial number string.
    std::optional<std::string> serial;
    std::string manufacturer = "Corvane";
    std::string product = "KPM pro";
};

// The gadget in configfs with its FunctionFS function mounted; not bound
// to its controller until Bind(). Everything is undone on destruction.
class UsbGadgetFunction {
public:
    // `controller`: dummy_hcd's device controller dummy_udc.N. Throws
    // std::runtime_error.
    UsbGadgetFunction(int controller, const GadgetIdentity& identity);
    ~UsbGadgetFunction();
    UsbGadgetFunction(const UsbGadgetFunction&) = delete;
    UsbGadgetFunction& operator=(const UsbGadgetFunction&) = delete;

    // Where the function's ep0 is, for the simulator.
    const std::string& mountPoint() const noexcept { return mount_; }

    // Plugs the printer in (the function's descriptors must be written) or
    // pulls it out. Throws std::runtime_error.
    void Bind();
    void Unbind();

private:
    std::string controller_;
    std::string gadget_;
    std::string function_;
    std::string mount_;
    bool mounted_ = false;
};

// The usblp node (/dev/usb/lpN) of our printer with serial number `serial`
// ("": the one without) once usblp drives it; empty after `timeout`.
std::string WaitForUsblpNode(const std::string& serial,
                             std::chrono::milliseconds timeout = std::chrono::seconds(30));
// Waits until usblp no longer drives that printer (unplugged, or claimed by
// a program such as CUPS's usb backend); false after `timeout`.
bool WaitForNoUsblpNode(const std::string& serial,
                        std::chrono::milliseconds timeout = std::chrono::seconds(30));

// The usb:// URIs `lpinfo -v` lists through the private cupsd.
std::vector<std::string> ListedUsbUris();
// The one of our printer with serial number `serial` ("": the one
// without). Throws std::runtime_error, with what is listed, when none is.
std::string ListedUsbUri(const std::string& serial);

// A serial number no other test process uses: `prefix`, this process's id
// and a counter.
std::string UniqueGadgetSerial(const std::string& prefix);

// A USB printer: the gadget and the simulator serving it, plugged in and
// driven by usblp when the constructor returns.
class GadgetPrinter {
public:
    // `options.state.serialNumber` is the USB serial number unless
    // `withSerial` is false. Throws std::runtime_error.
    GadgetPrinter(int controller, kpm::sim::Options options, bool withSerial = true);
    ~GadgetPrinter();

    kpm::sim::Simulator& sim() noexcept { return *sim_; }
    // The serial number the computer sees; empty when there is none.
    const std::string& serial() const noexcept { return serial_; }
    // The device URI of this printer as CUPS's usb backend lists it.
    std::string DeviceUri() const { return ListedUsbUri(serial_); }

    // Pulls the printer out, or plugs it in again and waits for usblp.
    void Unplug();
    void Plug();

    std::string WaitForNode() const { return WaitForUsblpNode(serial_); }
    bool WaitForNoNode() const { return WaitForNoUsblpNode(serial_); }

private:
    std::string serial_;
    std::optional<UsbGadgetFunction> function_;
    std::optional<kpm::sim::Simulator> sim_;
};

}  // namespace kpm::test
