// Finding the USB printer behind a queue's port in a fake sysfs (umockdev):
// identifiers, node, presence, bulk-in packet size, IEEE 1284 identifier.
#include "bidi/communications/linux/usb_lookup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <stdexcept>

#include "bidi/capi/error.h"
#include "bidi/communications/linux/usb_connector.h"
#include "bidi/communications/linux/usb_stream.h"
#include "tests/support/fake_spooler.h"
#include "tests/support/usb_testbed.h"

namespace {

using namespace KpBidi::communications::linux;
using kpm::sim::UsbDevice;

UsbDevice Device(const std::string& busPath, std::optional<std::string> serial, int lpMinor = 0) {
    UsbDevice device;
    device.busPath = busPath;
    device.serial = std::move(serial);
    device.lpMinor = lpMinor;
    device.ieee1284Id = "MFG:Corvane;MDL:KPM pro;CLS:PRINTER;";
    return device;
}

std::string Port(const std::string& serial) {
    return "usb://Corvane/KPM%20pro?serial=" + serial;
}

std::string NotFoundText(const std::string& port) {
    try {
        GetUSBPrintDeviceInstanceID(port);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "found";
}

TEST(UsbDeviceInstanceId, FourUpperCaseHexDigitsAndTheSerialAsItIs) {
    EXPECT_EQ(UsbDeviceInstanceId(0x1234, 0x5678, "A1"), "USB\\VID_1234&PID_5678\\A1");
    EXPECT_EQ(UsbDeviceInstanceId(0x00ab, 0xcdef, "x\\y"), "USB\\VID_00AB&PID_CDEF\\x\\y");
    EXPECT_EQ(UsbDeviceInstanceId(0x4B50, 0x0735, ""), "USB\\VID_4B50&PID_0735\\");
    EXPECT_EQ(UsbPortLockName("USB\\VID_1234&PID_5678\\A1"), "kpbidi_USB_VID_1234&PID_5678_A1");
    // A slash cannot be part of a file name.
    EXPECT_EQ(UsbPortLockName("USB\\VID_1234&PID_5678\\A/1"), "kpbidi_USB_VID_1234&PID_5678_A_1");
}

TEST(UsbLookup, FindsThePrinterWithExactlyTheSerialOfThePort) {
    kpm::test::UsbTestbed testbed;
    UsbDevice other = Device("1-1", "K7400122", 0);
    other.productId = 0x0736;
    testbed.Plug(other);
    testbed.Plug(Device("1-2", "K7400123", 1));
    testbed.Plug(Device("1-3", "k7400124", 2));

    EXPECT_EQ(GetUSBPrintDeviceInstanceID(Port("K7400123")), "USB\\VID_4B50&PID_0735\\K7400123");
    EXPECT_EQ(GetUSBPrintDeviceInstanceID(Port("K7400122") + "&interface=0"),
              "USB\\VID_4B50&PID_0736\\K7400122");
    EXPECT_EQ(GetUSBPrintDevicePath("USB\\VID_4B50&PID_0735\\K7400123"), "/dev/usb/lp1");

    const auto printer = FindUsbPrinter("USB\\VID_4B50&PID_0735\\K7400123");
    ASSERT_TRUE(printer.has_value());
    const platform::UsbPrinterInterface& interface = printer->PrinterInterface();
    ASSERT_NE(interface.BulkIn(), nullptr);
    EXPECT_EQ(interface.BulkIn()->maxPacketSize, 512);
    EXPECT_EQ(interface.BulkIn()->address, 0x82);
    EXPECT_EQ(interface.ieee1284Id, "MFG:Corvane;MDL:KPM pro;CLS:PRINTER;");

    // Serial numbers differing only in case are different printers.
    EXPECT_EQ(NotFoundText(Port("k7400123")), kUsbPortNotFound);
    EXPECT_EQ(NotFoundText(Port("K7400124")), kUsbPortNotFound);
    EXPECT_EQ(GetUSBPrintDeviceInstanceID(Port("k7400124")), "USB\\VID_4B50&PID_0735\\k7400124");
    // Only usb: ports have a USB printer.
    EXPECT_EQ(NotFoundText("socket://127.4.5.6:9100"), kUsbPortNotFound);
}

TEST(UsbLookup, APrinterWithoutSerialMatchesOnlyAPortWithout) {
    kpm::test::UsbTestbed testbed;
    testbed.Plug(Device("1-1", "K7400123", 0));
    EXPECT_EQ(NotFoundText("usb://Corvane/KPM%20pro"), kUsbPortNotFound);

    testbed.Plug(Device("1-2", std::nullopt, 1));
    const std::string id = GetUSBPrintDeviceInstanceID("usb://Corvane/KPM%20pro");
    EXPECT_EQ(id, "USB\\VID_4B50&PID_0735\\");
    EXPECT_EQ(GetUSBPrintDeviceInstanceID("usb://Corvane/KPM%20pro?serial="), id);
    EXPECT_EQ(GetUSBPrintDevicePath(id), "/dev/usb/lp1");
    EXPECT_EQ(UsbPortLockName(id), "kpbidi_USB_VID_4B50&PID_0735_");
}

// A serial of 126 "é" (252 bytes) once made a lock file name longer than a
// file name may be (1010 for every operation). Its lock name keeps the
// readable start and ends in a hash of the whole, so it can be locked, and
// a printer whose long serial differs only at its end has another lock.
TEST(UsbLookup, ALongSerialStillGivesAUsableLockName) {
    std::string serial;
    for (int i = 0; i < 126; ++i) {
        serial += "\xc3\xa9";
    }
    std::string encoded;
    for (int i = 0; i < 126; ++i) {
        encoded += "%C3%A9";
    }
    kpm::test::UsbTestbed testbed;
    testbed.Plug(Device("1-1", serial, 0));
    testbed.Plug(Device("1-2", serial.substr(0, 250) + "e", 1));
    const std::string id = GetUSBPrintDeviceInstanceID(Port(encoded));
    EXPECT_EQ(id, "USB\\VID_4B50&PID_0735\\" + serial);
    const std::string name = UsbPortLockName(id);
    EXPECT_LE(name.size(), kMaxLockNameLength);
    EXPECT_EQ(name.rfind("kpbidi_USB_VID_4B50&PID_0735_\xc3\xa9\xc3\xa9", 0), 0u) << name;
    EXPECT_EQ(name, UsbPortLockName(id));
    const std::string other =
        UsbPortLockName(GetUSBPrintDeviceInstanceID(Port(encoded.substr(0, 750) + "e")));
    EXPECT_NE(name, other);
    EXPECT_EQ(name.substr(0, name.size() - 16), other.substr(0, other.size() - 16));

    char dir[] = "/tmp/kpm-long-lock-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    setenv("XDG_RUNTIME_DIR", dir, 1);
    platform::NamedLock lock;
    std::error_code error;
    EXPECT_EQ(lock.TryAcquire(name, error), platform::NamedLock::Result::Acquired)
        << error.message();
    lock = platform::NamedLock();
    unsetenv("XDG_RUNTIME_DIR");
    std::filesystem::remove_all(dir);
}

TEST(UsbLookup, APrinterThatUsblpDoesNotDriveHasNoNode) {
    kpm::test::UsbTestbed testbed;
    testbed.Plug(Device("1-1", "K7400123", -1));
    const std::string id = GetUSBPrintDeviceInstanceID(Port("K7400123"));
    EXPECT_TRUE(FindUsbPrinter(id).has_value());
    EXPECT_THROW(GetUSBPrintDevicePath(id), std::runtime_error);
}

// The connector on a queue of an in-memory print system, over the testbed.
class UsbConnectorLookup : public ::testing::Test {
protected:
    UsbConnector Connector(const std::string& serial) {
        spooler_->Add("kpm-" + serial, Port(serial), "Dynamic Print Monitor");
        return UsbConnector("kpm-" + serial, spooler_);
    }

    kpm::test::UsbTestbed testbed_;
    std::shared_ptr<kpm::test::FakeSpooler> spooler_ = std::make_shared<kpm::test::FakeSpooler>();
};

TEST_F(UsbConnectorLookup, ReadSizeIsTheFirstBulkInEndpointsPacketSize) {
    UsbDevice full = Device("1-1", "FULL");
    full.bulkInMaxPacketSize = 64;
    UsbDevice interruptFirst = Device("1-2", "INTR", 1);
    interruptFirst.interruptInMaxPacketSize = 8;
    interruptFirst.bulkInMaxPacketSize = 512;
    UsbDevice noBulkIn = Device("1-3", "NOIN", 2);
    noBulkIn.interruptInMaxPacketSize = 8;
    noBulkIn.bulkInMaxPacketSize = 0;
    for (const UsbDevice& d : {full, interruptFirst, noBulkIn}) {
        testbed_.Plug(d);
    }

    EXPECT_EQ(Connector("FULL").GetPreferredReadSize(), 64u);
    // An interrupt endpoint towards the host is not where replies come.
    EXPECT_EQ(Connector("INTR").GetPreferredReadSize(), 512u);
    EXPECT_EQ(Connector("NOIN").GetPreferredReadSize(), 0u);
    EXPECT_TRUE(Connector("NOIN").IsAvailable());
    EXPECT_EQ(Connector("GONE").GetPreferredReadSize(), 0u);
}

TEST_F(UsbConnectorLookup, PresenceAndDeviceIdFollowThePlug) {
    UsbDevice device = Device("1-1", "K7400123");
    UsbDevice silent = Device("1-2", "NOID", 1);
    silent.ieee1284Id.reset();
    testbed_.Plug(device);
    testbed_.Plug(silent);

    UsbConnector connector = Connector("K7400123");
    EXPECT_TRUE(connector.IsAvailable());
    EXPECT_EQ(connector.GetDeviceId(), "MFG:Corvane;MDL:KPM pro;CLS:PRINTER;");
    // No identifier is an empty one, not a failure.
    EXPECT_EQ(Connector("NOID").GetDeviceId(), "");

    testbed_.Unplug(device);
    EXPECT_FALSE(connector.IsAvailable());
    try {
        connector.GetDeviceId();
        ADD_FAILURE() << "an unplugged printer gave its identifier";
    } catch (const KpBidi::Error& e) {
        EXPECT_EQ(e.code, KpBidi::PrinterNotAvailable);
    }
    try {
        connector.OpenUsbStream();
        ADD_FAILURE() << "an unplugged printer was opened";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), kUsbPortNotFound);
    }
}

}  // namespace
