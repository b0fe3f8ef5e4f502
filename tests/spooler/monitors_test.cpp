#include "spooler/monitors.h"

#include <gtest/gtest.h>

namespace {

TEST(Monitors, TheTwoKpmBackendsGoByTheirMonitorNames) {
    EXPECT_EQ(spooler::MonitorOfDeviceUri("usb://Corvane/KPM%20pro?serial=A1"),
              "Dynamic Print Monitor");
    EXPECT_EQ(spooler::MonitorOfDeviceUri("socket://127.8.9.10:9100"), "TCPMON.DLL");
    EXPECT_EQ(spooler::MonitorOfDeviceUri("socket://printer.example"), "TCPMON.DLL");
}

TEST(Monitors, OtherSchemesOwnTheirPortsUnderTheirOwnName) {
    EXPECT_EQ(spooler::MonitorOfDeviceUri("ipp://host/ipp/print"), "ipp");
    EXPECT_EQ(spooler::MonitorOfDeviceUri("lpd://host/queue"), "lpd");
    EXPECT_EQ(spooler::MonitorOfDeviceUri("file:///dev/null"), "file");
    // The print system picks backends by the exact scheme.
    EXPECT_EQ(spooler::MonitorOfDeviceUri("SOCKET://host"), "SOCKET");
    EXPECT_EQ(spooler::MonitorOfDeviceUri("Usb://x"), "Usb");
}

TEST(Monitors, TextWithoutASchemeHasNoMonitor) {
    EXPECT_EQ(spooler::MonitorOfDeviceUri(""), "");
    EXPECT_EQ(spooler::MonitorOfDeviceUri("/dev/usb/lp0"), "");
    EXPECT_EQ(spooler::MonitorOfDeviceUri(":9100"), "");
    EXPECT_EQ(spooler::MonitorOfDeviceUri("two words:x"), "");
    // A class's port lists its members' ports and belongs to no monitor.
    EXPECT_EQ(spooler::SchemeOfDeviceUri("socket://a:9100,socket://b:9100"), "socket");
}

}  // namespace
