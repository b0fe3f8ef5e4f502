#include "tests/support/usb_testbed.h"

#include <umockdev.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <stdexcept>

namespace kpm::test {
namespace {

std::string Take(gchar* text) {
    std::string copy = text != nullptr ? text : "";
    g_free(text);
    return copy;
}

}  // namespace

UsbTestbed::UsbTestbed() : testbed_(umockdev_testbed_new()) {
    // A device only the testbed has: visible under /sys only when this
    // process's file access is redirected.
    gchar* probe =
        umockdev_testbed_add_device(testbed_, "kpm-probe", "kpm-probe", nullptr, nullptr, nullptr);
    const std::string path = Take(probe);
    const bool redirected = !path.empty() && ::access(path.c_str(), F_OK) == 0 &&
                            std::filesystem::exists(root() + path);
    umockdev_testbed_remove_device(testbed_, path.c_str());
    if (!redirected) {
        g_object_unref(testbed_);
        throw std::runtime_error(
            "umockdev's preload library is not loaded: this test program must be registered "
            "with kpm_usb_tests()");
    }
}

UsbTestbed::~UsbTestbed() {
    g_object_unref(testbed_);
}

std::string UsbTestbed::root() const {
    return Take(umockdev_testbed_get_root_dir(testbed_));
}

void UsbTestbed::Plug(const kpm::sim::UsbDevice& device, const std::string& nodeTarget) {
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(testbed_, kpm::sim::UsbDeviceRecord(device).c_str(),
                                          &error)) {
        const std::string message = error != nullptr ? error->message : "unknown error";
        g_clear_error(&error);
        throw std::runtime_error("umockdev refused the device: " + message);
    }
    if (device.NodePath().empty()) {
        return;
    }
    const std::filesystem::path node = root() + device.NodePath();
    std::filesystem::create_directories(node.parent_path());
    std::error_code ignored;
    std::filesystem::remove(node, ignored);
    std::filesystem::create_symlink(nodeTarget, node);
}

void UsbTestbed::Unplug(const kpm::sim::UsbDevice& device) {
    umockdev_testbed_remove_device(testbed_, device.SysPath().c_str());
    // umockdev leaves the links of the removed devices in /sys/bus and
    // /sys/class behind, and refuses to plug the device in again over them.
    namespace fs = std::filesystem;
    std::error_code ignored;
    for (const char* top : {"/sys/bus", "/sys/class"}) {
        for (auto it = fs::recursive_directory_iterator(root() + top, ignored);
             it != fs::recursive_directory_iterator(); it.increment(ignored)) {
            if (it->is_symlink(ignored) && !fs::exists(it->path(), ignored)) {
                fs::remove(it->path(), ignored);
            }
        }
    }
    if (!device.NodePath().empty()) {
        // The node, and umockdev's note of its device number.
        std::string note = device.NodePath().substr(5);  // "usb/lp0"
        std::replace(note.begin(), note.end(), '/', '_');
        fs::remove(root() + device.NodePath(), ignored);
        fs::remove(root() + "/dev/.node/" + note, ignored);
    }
}

std::string UniqueUsbSerial(const std::string& prefix) {
    static std::atomic<int> counter{0};
    return prefix + std::to_string(::getpid()) + "N" + std::to_string(++counter);
}

}  // namespace kpm::test
