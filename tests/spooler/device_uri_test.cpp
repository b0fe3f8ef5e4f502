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

}  // namespace
