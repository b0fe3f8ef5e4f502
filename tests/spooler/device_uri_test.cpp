#include "spooler/device_uri.h"

#include <gtest/gtest.h>

#include "spooler/errors.h"

namespace {

std::string Host(std::string_view uri) {
    std::error_code error;
    std::string host = spooler::HostOfSocketUri(uri, error);
    EXPECT_FALSE(error) << uri;
    return host;
}

void ExpectNoHost(std::string_view uri) {
    std::error_code error;
    EXPECT_EQ(spooler::HostOfSocketUri(uri, error), "") << uri;
    EXPECT_EQ(error, spooler::Errc::Failed) << uri;
}

TEST(HostOfSocketUri, TakesTheHostAsConfigured) {
    EXPECT_EQ(Host("socket://127.4.5.6:9100"), "127.4.5.6");
    EXPECT_EQ(Host("socket://127.4.5.6"), "127.4.5.6");
    EXPECT_EQ(Host("socket://kpm-printer.example"), "kpm-printer.example");
    EXPECT_EQ(Host("socket://kpm-printer.example:9100?waiteof=false"), "kpm-printer.example");
    EXPECT_EQ(Host("socket://kpm-printer.example/?contimeout=30"), "kpm-printer.example");
    EXPECT_EQ(Host("socket://[::1]:9100"), "::1");
    EXPECT_EQ(Host("socket://shop%2Dfloor.example"), "shop-floor.example");
}

TEST(HostOfSocketUri, RefusesOtherPortsAndMissingHosts) {
    ExpectNoHost("usb://Corvane/KPM%20pro");
    ExpectNoHost("ipp://host/ipp/print");
    ExpectNoHost("SOCKET://host");
    ExpectNoHost("socket://");
    ExpectNoHost("socket://:9100");
    ExpectNoHost("socket:host");
    ExpectNoHost("socket://[::1");
    ExpectNoHost("socket://bad%zzhost");
}

std::string Serial(std::string_view uri) {
    std::error_code error;
    std::string serial = spooler::SerialOfUsbUri(uri, error);
    EXPECT_FALSE(error) << uri;
    return serial;
}

TEST(SerialOfUsbUri, TakesTheSerialOptionDecoded) {
    EXPECT_EQ(Serial("usb://Corvane/KPM%20pro?serial=K7400123"), "K7400123");
    EXPECT_EQ(Serial("usb://Corvane/KPM%20pro?serial=K7400123&interface=1"), "K7400123");
    EXPECT_EQ(Serial("usb://Corvane/KPM%20pro?interface=1&serial=K74%2F00%26x"), "K74/00&x");
    // Case is kept: serial numbers are compared exactly.
    EXPECT_EQ(Serial("usb://Corvane/KPM%20pro?serial=k7400123"), "k7400123");
    // No serial, or an empty one: the printer has none.
    EXPECT_EQ(Serial("usb://Corvane/KPM%20pro"), "");
    EXPECT_EQ(Serial("usb://Corvane/KPM%20pro?serial="), "");
    EXPECT_EQ(Serial("usb://Corvane/KPM%20pro?interface=1"), "");
    // Only the option named serial counts.
    EXPECT_EQ(Serial("usb://Corvane/KPM%20pro?noserial=1&serial=S2"), "S2");
}

TEST(SerialOfUsbUri, RefusesOtherUrisAndBadEscapes) {
    for (const char* uri : {"socket://127.4.5.6:9100", "USB://Corvane/KPM?serial=1", "usb:x",
                            "usb://Corvane/KPM?serial=bad%zz", "usb://Corvane/KPM?serial=cut%4"}) {
        std::error_code error;
        EXPECT_EQ(spooler::SerialOfUsbUri(uri, error), "") << uri;
        EXPECT_EQ(error, spooler::Errc::Failed) << uri;
    }
}

}  // namespace
