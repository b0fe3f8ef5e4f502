// A fake sysfs and /dev for the USB tests (umockdev): USB printers that
// libudev lists and whose usblp node opens the simulator's node.
//
// umockdev's preload library must be loaded into the test program for the
// redirection to work; programs registered with kpm_usb_tests() link it
// (after the sanitizer runtimes, which must come first). The testbed
// refuses to start without it rather than let a test pass against the real
// /sys.
#pragma once

#include <string>

#include "tools/printer-sim/usb_device.h"

typedef struct _UMockdevTestbed UMockdevTestbed;

namespace kpm::test {

class UsbTestbed {
public:
    // Throws std::runtime_error when sysfs is not redirected.
    UsbTestbed();
    ~UsbTestbed();
    UsbTestbed(const UsbTestbed&) = delete;
    UsbTestbed& operator=(const UsbTestbed&) = delete;

    // Plugs the device in; its usblp node, when it has one, opens
    // `nodeTarget` (the simulator's node; /dev/null where nothing reads).
    void Plug(const kpm::sim::UsbDevice& device, const std::string& nodeTarget = "/dev/null");
    // Removes the device, its interface and its node.
    void Unplug(const kpm::sim::UsbDevice& device);

    // The folder that stands in for / ($UMOCKDEV_DIR, which programs started
    // from the test inherit).
    std::string root() const;

private:
    UMockdevTestbed* testbed_;
};

// A serial number no other test process uses: `prefix`, this process's id
// and a counter.
std::string UniqueUsbSerial(const std::string& prefix);

}  // namespace kpm::test
