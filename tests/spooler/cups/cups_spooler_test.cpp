// The spooler layer against the tests' private CUPS server.
#include "spooler/cups/cups_spooler.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>

#include "spooler/errors.h"
#include "spooler/monitors.h"
#include "tests/support/cups_queues.h"

namespace {

using kpm::test::Queues;
using kpm::test::UniqueQueueName;
using Bytes = std::vector<unsigned char>;

const spooler::PrinterEntry* FindPrinter(const std::vector<spooler::PrinterEntry>& all,
                                         const std::string& name) {
    const auto it = std::find_if(all.begin(), all.end(),
                                 [&](const spooler::PrinterEntry& p) { return p.name == name; });
    return it == all.end() ? nullptr : &*it;
}

const spooler::PortEntry* FindPort(const std::vector<spooler::PortEntry>& all,
                                   const std::string& name) {
    const auto it = std::find_if(all.begin(), all.end(),
                                 [&](const spooler::PortEntry& p) { return p.name == name; });
    return it == all.end() ? nullptr : &*it;
}

TEST(CupsSpooler, ListsQueuesWithPortDriverAndClasses) {
    Queues queues;
    const std::string address = kpm::sim::RandomLoopbackAddress();
    const std::string net = UniqueQueueName("list-net");
    const std::string usb = UniqueQueueName("list-usb");
    const std::string ipp = UniqueQueueName("list-ipp");
    const std::string raw = UniqueQueueName("list-raw");
    const std::string pool = UniqueQueueName("list-pool");
    queues.Add(net, "socket://" + address + ":9100");
    queues.Add(usb, "usb://Corvane/KPM%20pro?serial=L1");
    queues.Add(ipp, "ipp://" + address + "/ipp/print");
    queues.Add(raw, "socket://" + address + ":9101", "raw");
    queues.AddToClass(net, pool);
    queues.AddToClass(usb, pool);

    spooler::cups::CupsSpooler spooler;
    std::error_code error;
    const std::vector<spooler::PrinterEntry> printers = spooler.Printers(error);
    ASSERT_FALSE(error) << error.message();

    const spooler::PrinterEntry* p = FindPrinter(printers, net);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->port, "socket://" + address + ":9100");
    EXPECT_EQ(p->driver, "Corvane KPM pro");
    EXPECT_FALSE(p->isClass);

    p = FindPrinter(printers, usb);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->port, "usb://Corvane/KPM%20pro?serial=L1");
    EXPECT_EQ(p->driver, "Corvane KPM pro");

    p = FindPrinter(printers, raw);
    ASSERT_NE(p, nullptr);
    EXPECT_NE(p->driver, "Corvane KPM pro");

    p = FindPrinter(printers, pool);
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->isClass);
    // A pool's port names its members' ports, which matches no single port.
    EXPECT_EQ(p->port, "socket://" + address + ":9100,usb://Corvane/KPM%20pro?serial=L1");

    const std::vector<spooler::PortEntry> ports = spooler.Ports(error);
    ASSERT_FALSE(error) << error.message();
    const spooler::PortEntry* port = FindPort(ports, "socket://" + address + ":9100");
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->monitor, spooler::kTcpMonitor);
    port = FindPort(ports, "usb://Corvane/KPM%20pro?serial=L1");
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->monitor, spooler::kUsbMonitor);
    port = FindPort(ports, "ipp://" + address + "/ipp/print");
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->monitor, "ipp");
    EXPECT_EQ(FindPort(ports, FindPrinter(printers, pool)->port), nullptr);
    EXPECT_EQ(std::count_if(ports.begin(), ports.end(),
                            [&](const spooler::PortEntry& e) {
                                return e.name == "socket://" + address + ":9100";
                            }),
              1);
}

TEST(CupsSpooler, OpeningTellsUnknownAndRefusedPrintersApart) {
    Queues queues;
    const std::string known = UniqueQueueName("open-known");
    const std::string refused = UniqueQueueName("open-refused");
    queues.Add(known, "socket://" + kpm::sim::RandomLoopbackAddress());
    queues.Add(refused, "socket://" + kpm::sim::RandomLoopbackAddress(), "",
               {"-o", "printer-op-policy=refuse-all"});

    spooler::cups::CupsSpooler spooler;
    std::error_code error;
    std::unique_ptr<spooler::Printer> printer = spooler.Open(known, error);
    ASSERT_FALSE(error) << error.message();
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(printer->Name(), known);

    // Queue names are not case-sensitive.
    std::string upper = known;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    EXPECT_NE(spooler.Open(upper, error), nullptr);
    EXPECT_FALSE(error);

    EXPECT_EQ(spooler.Open(known + "-missing", error), nullptr);
    EXPECT_EQ(error, spooler::Errc::NoSuchPrinter);
    EXPECT_EQ(spooler.Open("", error), nullptr);
    EXPECT_EQ(error, spooler::Errc::NoSuchPrinter);
    EXPECT_EQ(spooler.Open("no/such printer", error), nullptr);
    EXPECT_EQ(error, spooler::Errc::NoSuchPrinter);

    EXPECT_EQ(spooler.Open(refused, error), nullptr);
    EXPECT_EQ(error, spooler::Errc::AccessDenied);
    EXPECT_EQ(error, std::errc::permission_denied);
}

TEST(CupsSpooler, PortHostIsTheHostOfASocketPort) {
    spooler::cups::CupsSpooler spooler;
    std::error_code error;
    EXPECT_EQ(spooler.PortHost("socket://kpm-printer.example:9100", error), "kpm-printer.example");
    EXPECT_FALSE(error);
    spooler.PortHost("usb://Corvane/KPM%20pro", error);
    EXPECT_EQ(error, spooler::Errc::Failed);
}

TEST(CupsSpooler, OpenPrinterReadsItsPortAndDriverData) {
    Queues queues;
    const std::string address = kpm::sim::RandomLoopbackAddress();
    const std::string kpm = UniqueQueueName("data-kpm");
    const std::string one = UniqueQueueName("data-one");
    const std::string none = UniqueQueueName("data-none");
    const std::string raw = UniqueQueueName("data-raw");
    const std::string pool = UniqueQueueName("data-pool");
    const kpm::test::PpdVariant withOne{{"*CvMatCheck", "*CvMatCheck: \"1\""}};
    const kpm::test::PpdVariant without{{"*CvMatCheck", ""}};
    queues.Add(kpm, "usb://Corvane/KPM%20pro?serial=D1");
    queues.Add(one, "usb://Corvane/KPM%20pro?serial=D2", withOne.path());
    queues.Add(none, "usb://Corvane/KPM%20pro?serial=D3", without.path());
    queues.Add(raw, "socket://" + address, "raw");
    queues.AddToClass(raw, pool);

    spooler::cups::CupsSpooler spooler;
    std::error_code error;
    auto open = [&](const std::string& name) {
        std::unique_ptr<spooler::Printer> printer = spooler.Open(name, error);
        EXPECT_FALSE(error) << name << ": " << error.message();
        return printer;
    };

    auto printer = open(kpm);
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(printer->Port(error), "usb://Corvane/KPM%20pro?serial=D1");
    EXPECT_EQ(printer->DriverData("CvMatCheck", error), (Bytes{0, 0, 0, 0}));
    EXPECT_FALSE(error);
    printer->DriverData("NoSuchKeyword", error);
    EXPECT_EQ(error, spooler::Errc::NoSuchValue);

    printer = open(one);
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(printer->DriverData("CvMatCheck", error), (Bytes{1, 0, 0, 0}));
    EXPECT_FALSE(error);

    printer = open(none);
    ASSERT_NE(printer, nullptr);
    printer->DriverData("CvMatCheck", error);
    EXPECT_EQ(error, spooler::Errc::NoSuchValue);

    printer = open(raw);
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(printer->Port(error), "socket://" + address);
    printer->DriverData("CvMatCheck", error);
    EXPECT_EQ(error, spooler::Errc::NoSuchValue);

    EXPECT_FALSE(printer->IsClass());
    printer = open(pool);
    ASSERT_NE(printer, nullptr);
    EXPECT_TRUE(printer->IsClass());
    EXPECT_EQ(printer->Port(error), "socket://" + address);
    printer->DriverData("CvMatCheck", error);
    EXPECT_EQ(error, spooler::Errc::NoSuchValue);
}

TEST(CupsSpooler, NoServerIsUnavailable) {
    // Each test runs in a process of its own, so this one may point libcups
    // elsewhere before its first request.
    const std::string nowhere =
        std::filesystem::temp_directory_path() / (UniqueQueueName("kpm-no-server") + ".sock");
    setenv("CUPS_SERVER", nowhere.c_str(), 1);
    spooler::cups::CupsSpooler spooler;
    std::error_code error;
    EXPECT_TRUE(spooler.Printers(error).empty());
    EXPECT_EQ(error, spooler::Errc::Unavailable);
    EXPECT_EQ(spooler.Open("any", error), nullptr);
    EXPECT_EQ(error, spooler::Errc::Unavailable);
}

}  // namespace
