#include "tests/support/usb_gadget.h"

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/usb_printers.h"
#include "tests/support/command.h"

namespace kpm::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr char kGadgets[] = "/sys/kernel/config/usb_gadget";

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

void Write(const std::string& path, const std::string& value) {
    std::ofstream out(path);
    out << value;
    out.flush();
    if (!out) {
        Fail("cannot write \"" + value + "\" to " + path);
    }
}

void MakeDir(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) {
        Fail("mkdir " + path);
    }
}

std::string Hex(std::uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04x", value);
    return text;
}

// The printer with this serial number ("" also for none) as the kernel
// lists it now.
std::optional<platform::UsbPrinter> Find(const std::string& serial) {
    std::error_code error;
    for (platform::UsbPrinter& printer : platform::ListUsbPrinters(error)) {
        if (printer.serial == serial && printer.vendorId == kpm::sim::kUsbVendorId) {
            return std::move(printer);
        }
    }
    return std::nullopt;
}

}  // namespace

UsbGadgetFunction::UsbGadgetFunction(int controller, const GadgetIdentity& identity)
    : controller_("dummy_udc." + std::to_string(controller)) {
    if (!fs::exists("/sys/class/udc/" + controller_) || !fs::exists(kGadgets)) {
        throw std::runtime_error(
            "no USB device controller " + controller_ +
            " with configfs gadgets here: this test runs inside the virtual machine of "
            "scripts/usb-vm (ctest -L real-usb)");
    }
    const std::string name = "kpm" + std::to_string(::getpid()) + "u" + std::to_string(controller);
    gadget_ = std::string(kGadgets) + "/" + name;
    MakeDir(gadget_);
    Write(gadget_ + "/idVendor", Hex(identity.vendorId));
    Write(gadget_ + "/idProduct", Hex(identity.productId));
    Write(gadget_ + "/bcdUSB", "0x0200");
    MakeDir(gadget_ + "/strings/0x409");
    Write(gadget_ + "/strings/0x409/manufacturer", identity.manufacturer);
    Write(gadget_ + "/strings/0x409/product", identity.product);
    if (identity.serial) {
        Write(gadget_ + "/strings/0x409/serialnumber", *identity.serial);
    }
    MakeDir(gadget_ + "/configs/c.1");
    MakeDir(gadget_ + "/configs/c.1/strings/0x409");
    Write(gadget_ + "/configs/c.1/strings/0x409/configuration", "printer");
    Write(gadget_ + "/configs/c.1/MaxPower", "2");
    function_ = gadget_ + "/functions/ffs." + name;
    MakeDir(function_);
    if (::symlink(function_.c_str(), (gadget_ + "/configs/c.1/ffs." + name).c_str()) != 0) {
        Fail("cannot add the function to the configuration");
    }
    mount_ = "/run/kpm-ffs/" + name;
    fs::create_directories(mount_);
    if (::mount(name.c_str(), mount_.c_str(), "functionfs", 0, nullptr) != 0) {
        Fail("cannot mount FunctionFS " + name);
    }
    mounted_ = true;
}

UsbGadgetFunction::~UsbGadgetFunction() {
    try {
        Unbind();
    } catch (const std::exception&) {
    }
    if (mounted_) {
        ::umount2(mount_.c_str(), MNT_DETACH);
    }
    std::error_code ignored;
    fs::remove(mount_, ignored);
    const std::string name = fs::path(gadget_).filename();
    ::unlink((gadget_ + "/configs/c.1/ffs." + name).c_str());
    for (const std::string& dir : {gadget_ + "/configs/c.1/strings/0x409", gadget_ + "/configs/c.1",
                                   function_, gadget_ + "/strings/0x409", gadget_}) {
        ::rmdir(dir.c_str());
    }
}

void UsbGadgetFunction::Bind() {
    Write(gadget_ + "/UDC", controller_);
}

void UsbGadgetFunction::Unbind() {
    std::ifstream in(gadget_ + "/UDC");
    std::string bound;
    std::getline(in, bound);
    if (!bound.empty()) {
        Write(gadget_ + "/UDC", "\n");
    }
}

GadgetPrinter::GadgetPrinter(int controller, kpm::sim::Options options, bool withSerial) {
    GadgetIdentity identity;
    if (withSerial) {
        serial_ = options.state.serialNumber;
        identity.serial = serial_;
    }
    function_.emplace(controller, identity);
    options.usbGadget = function_->mountPoint();
    sim_.emplace(std::move(options));
    Plug();
}

GadgetPrinter::~GadgetPrinter() {
    // The computer lets go first, so the simulator's transfers end.
    try {
        function_->Unbind();
    } catch (const std::exception&) {
    }
    sim_.reset();
}

void GadgetPrinter::Unplug() {
    function_->Unbind();
    if (!WaitForNoNode()) {
        throw std::runtime_error("the unplugged printer " + serial_ + " stays in sysfs");
    }
}

void GadgetPrinter::Plug() {
    function_->Bind();
    if (WaitForNode().empty()) {
        throw std::runtime_error("usblp does not drive the plugged-in printer \"" + serial_ + "\"");
    }
}

std::string WaitForUsblpNode(const std::string& serial, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    do {
        const auto printer = Find(serial);
        if (printer && !printer->PrinterInterface().deviceNode.empty() &&
            fs::exists(printer->PrinterInterface().deviceNode)) {
            return printer->PrinterInterface().deviceNode;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (Clock::now() < deadline);
    return {};
}

bool WaitForNoUsblpNode(const std::string& serial, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    do {
        const auto printer = Find(serial);
        if (!printer || printer->PrinterInterface().deviceNode.empty()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (Clock::now() < deadline);
    return false;
}

std::vector<std::string> ListedUsbUris() {
    const CommandResult result = RunCommand({"lpinfo", "--include-schemes", "usb", "-v"});
    std::vector<std::string> uris;
    std::istringstream lines(result.output);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t at = line.find("usb://");
        if (at != std::string::npos) {
            uris.push_back(line.substr(at));
        }
    }
    return uris;
}

std::string ListedUsbUri(const std::string& wanted) {
    // The usb backend's own name for it: serial=SERIAL when it has one.
    const std::vector<std::string> uris = ListedUsbUris();
    for (const std::string& uri : uris) {
        const std::size_t at = uri.find("?serial=");
        const std::string serial =
            at == std::string::npos ? "" : uri.substr(at + 8, uri.find('&', at) - (at + 8));
        if (serial == wanted && uri.find("/KPM%20pro") != std::string::npos) {
            return uri;
        }
    }
    std::string listed;
    for (const std::string& uri : uris) {
        listed += " " + uri;
    }
    throw std::runtime_error("lpinfo -v does not list the printer \"" + wanted +
                             "\"; it lists:" + listed);
}

std::string UniqueGadgetSerial(const std::string& prefix) {
    static std::atomic<int> counter{0};
    return prefix + std::to_string(::getpid()) + "N" + std::to_string(++counter);
}

}  // namespace kpm::test
