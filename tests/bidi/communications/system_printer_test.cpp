// Printer resolution and kpbidi_open_printer against the private cupsd.
#include "bidi/communications/system_printer.h"

#include <gtest/gtest.h>

#include "bidi/capi/error.h"
#include "bidi/capi/kpbidi.h"
#include "bidi/communications/linux/network_connector.h"
#include "bidi/communications/linux/usb_connector.h"
#include "tests/support/cups_queues.h"

namespace {

using KpBidi::communications::linux::NetworkConnector;
using KpBidi::communications::linux::UsbConnector;
using kpm::test::Queues;
using kpm::test::UniqueQueueName;

std::unique_ptr<KpBidi::communications::Connector> Connect(const std::string& name) {
    return KpBidi::SystemPrinter::FromName(name)->CreateConnector();
}

int CodeOf(const std::string& name) {
    try {
        Connect(name);
    } catch (const KpBidi::Error& e) {
        return e.code;
    }
    return 0;
}

TEST(SystemPrinterOnCups, UsbAndSocketQueuesGetTheirTransports) {
    Queues queues;
    const std::string address = kpm::sim::RandomLoopbackAddress();
    const std::string usb = UniqueQueueName("resolve-usb");
    const std::string byName = UniqueQueueName("resolve-name");
    const std::string byAddress = UniqueQueueName("resolve-address");
    queues.Add(usb, "usb://Corvane/KPM%20pro?serial=R1");
    queues.Add(byName, "socket://kpm-printer.example:9100");
    queues.Add(byAddress, "socket://" + address + ":9100");

    auto connector = Connect(usb);
    const auto* usbConnector = dynamic_cast<UsbConnector*>(connector.get());
    ASSERT_NE(usbConnector, nullptr);
    EXPECT_EQ(usbConnector->printerName(), usb);

    // A DNS name stays a name: it is resolved when the network is used.
    connector = Connect(byName);
    auto* net = dynamic_cast<NetworkConnector*>(connector.get());
    ASSERT_NE(net, nullptr);
    EXPECT_EQ(net->host(), "kpm-printer.example");

    connector = Connect(byAddress);
    net = dynamic_cast<NetworkConnector*>(connector.get());
    ASSERT_NE(net, nullptr);
    EXPECT_EQ(net->host(), address);
    EXPECT_TRUE(net->IsAvailable());  // loopback answers the echo
}

TEST(SystemPrinterOnCups, OtherPortsAndClassesAreUnsupported) {
    Queues queues;
    const std::string address = kpm::sim::RandomLoopbackAddress();
    const std::string ipp = UniqueQueueName("resolve-ipp");
    const std::string lpd = UniqueQueueName("resolve-lpd");
    const std::string file = UniqueQueueName("resolve-file");
    const std::string member = UniqueQueueName("resolve-member");
    const std::string pool = UniqueQueueName("resolve-pool");
    queues.Add(ipp, "ipp://" + address + "/ipp/print");
    queues.Add(lpd, "lpd://" + address + "/queue");
    queues.Add(file, "file:///dev/null");
    queues.Add(member, "socket://" + address + ":9100");
    queues.AddToClass(member, pool);

    EXPECT_EQ(CodeOf(ipp), KpBidi::UnsupportedPort);
    EXPECT_EQ(CodeOf(lpd), KpBidi::UnsupportedPort);
    EXPECT_EQ(CodeOf(file), KpBidi::UnsupportedPort);
    // A class prints through a pool of ports, none of them its own.
    EXPECT_EQ(CodeOf(pool), KpBidi::UnsupportedPort);
    EXPECT_EQ(CodeOf(member), 0);
}

TEST(SystemPrinterOnCups, UnknownAndRefusedPrinters) {
    Queues queues;
    const std::string refused = UniqueQueueName("resolve-refused");
    queues.Add(refused, "socket://" + kpm::sim::RandomLoopbackAddress(), "",
               {"-o", "printer-op-policy=refuse-all"});
    EXPECT_EQ(CodeOf(UniqueQueueName("resolve-missing")), KpBidi::PrinterNotFound);
    EXPECT_EQ(CodeOf(refused), KpBidi::AccessDenied);
}

TEST(SystemPrinterOnCups, AMovedQueueIsFollowedByTheNextConnector) {
    Queues queues;
    const std::string name = UniqueQueueName("resolve-moved");
    const std::string address = kpm::sim::RandomLoopbackAddress();
    queues.Add(name, "usb://Corvane/KPM%20pro?serial=M1");
    const std::unique_ptr<KpBidi::Printer> printer = KpBidi::SystemPrinter::FromName(name);
    EXPECT_NE(dynamic_cast<UsbConnector*>(printer->CreateConnector().get()), nullptr);

    queues.Add(name, "socket://" + address + ":9100");  // lpadmin changes the device URI
    auto connector = printer->CreateConnector();
    const auto* net = dynamic_cast<NetworkConnector*>(connector.get());
    ASSERT_NE(net, nullptr);
    EXPECT_EQ(net->host(), address);
}

TEST(OpenPrinter, OpensAnyNameAndReportsAnUnknownOneAtTheFirstOperation) {
    kpbidi_error_tag error{};
    EXPECT_EQ(kpbidi_open_printer(nullptr, &error), nullptr);
    EXPECT_EQ(error.code, KpBidi::InvalidArgument);
    EXPECT_STREQ(error.message, "printer_name");

    kpbidi_printer_tag* printer =
        kpbidi_open_printer(UniqueQueueName("open-missing").c_str(), &error);
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(error.code, 0);
    EXPECT_EQ(kpbidi_get_ip_mode(printer, &error), 0);
    EXPECT_EQ(error.code, KpBidi::PrinterNotFound);
    kpbidi_close_printer(printer);
}

TEST(OpenPrinter, AUsbPrinterThatIsNotPluggedInIsNotAvailable) {
    Queues queues;
    const std::string name = UniqueQueueName("open-usb");
    queues.Add(name, "usb://Corvane/KPM%20pro?serial=O1");
    kpbidi_error_tag error{};
    kpbidi_printer_tag* printer = kpbidi_open_printer(name.c_str(), &error);
    ASSERT_NE(printer, nullptr);
    kpbidi_get_ip_mode(printer, &error);
    EXPECT_EQ(error.code, KpBidi::PrinterNotAvailable);
    kpbidi_close_printer(printer);
}

}  // namespace
