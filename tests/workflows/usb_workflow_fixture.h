// The procedure tests' fixture for a USB printer: the simulator in its USB
// mode, plugged into a fake sysfs (tests/support/usb_testbed.h), behind a
// usb:// queue of the private cupsd. Programs using it are registered with
// kpm_workflow_usb_test, which links the testbed's preload library.
#pragma once

#include <string>

#include "tests/support/usb_testbed.h"
#include "tests/workflows/workflow_fixture.h"

namespace testing_support {

class UsbWorkflowTest : public WorkflowTest {
protected:
    UsbWorkflowTest() : WorkflowTest(UsbOptions()) {
        testbed.Plug(sim.UsbDescription(), sim.UsbNodePath());
    }

    std::string DeviceUri() const override {
        return "usb://Corvane/KPM%20pro?serial=" + sim.state().serialNumber;
    }
    int PrinterAddress() const override { return 0; }

    kpm::test::UsbTestbed testbed;

private:
    static kpm::sim::Options UsbOptions() {
        kpm::sim::Options options;
        options.usb = true;
        options.state.serialNumber = kpm::test::UniqueUsbSerial("W");
        return options;
    }
};

}  // namespace testing_support
