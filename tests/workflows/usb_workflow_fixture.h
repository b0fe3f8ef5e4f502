// The procedure tests' fixture for a USB printer on the kernel's own USB
// stack (a gadget driven by usblp, its queue on the URI CUPS lists);
// programs using it are registered with kpm_real_usb_test.
#pragma once

#include <string>

#include "tests/support/usb_gadget.h"
#include "tests/workflows/workflow_fixture.h"

namespace testing_support {

// The gadget exists before the simulator that serves it.
struct GadgetFunctionHolder {
    GadgetFunctionHolder()
        : serial(kpm::test::UniqueGadgetSerial("W")), function(0, Identity(serial)) {}

    static kpm::test::GadgetIdentity Identity(const std::string& serial) {
        kpm::test::GadgetIdentity identity;
        identity.serial = serial;
        return identity;
    }

    std::string serial;
    kpm::test::UsbGadgetFunction function;
};

class UsbWorkflowTest : private GadgetFunctionHolder, public WorkflowTest {
protected:
    UsbWorkflowTest() : WorkflowTest(GadgetOptions(serial, function.mountPoint())) {
        function.Bind();
        if (kpm::test::WaitForUsblpNode(serial).empty()) {
            ADD_FAILURE() << "usblp does not drive the gadget printer " << serial;
        }
    }
    ~UsbWorkflowTest() override {
        // The computer lets go before the simulator stops.
        function.Unbind();
    }

    std::string DeviceUri() const override { return kpm::test::ListedUsbUri(serial); }
    int PrinterAddress() const override { return 0; }

private:
    static kpm::sim::Options GadgetOptions(const std::string& serial,
                                           const std::string& mountPoint) {
        kpm::sim::Options options;
        options.state.serialNumber = serial;
        options.usbGadget = mountPoint;
        return options;
    }
};

}  // namespace testing_support
