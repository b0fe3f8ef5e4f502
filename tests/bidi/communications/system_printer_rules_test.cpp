// How a print queue's port becomes a transport, on an in-memory print
// system.
#include "bidi/communications/system_printer.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "bidi/capi/error.h"
#include "bidi/communications/linux/network_connector.h"
#include "bidi/communications/linux/usb_connector.h"
#include "tests/support/fake_spooler.h"

namespace {

using KpBidi::communications::linux::NetworkConnector;
using KpBidi::communications::linux::UsbConnector;
using kpm::test::FakeSpooler;

// ResolveConnector shares the print system with the connectors it makes;
// these tests keep theirs on the stack.
std::shared_ptr<spooler::Spooler> Borrow(FakeSpooler& spooler) {
    return std::shared_ptr<spooler::Spooler>(&spooler, [](spooler::Spooler*) {});
}

int CodeOf(FakeSpooler& spooler, const std::string& name) {
    try {
        KpBidi::ResolveConnector(Borrow(spooler), name);
    } catch (const KpBidi::Error& e) {
        return e.code;
    }
    return 0;
}

TEST(ResolveConnector, MonitorNamesAreComparedExactly) {
    FakeSpooler spooler;
    spooler.Add("usb", "usb-port", "Dynamic Print Monitor");
    spooler.Add("net", "net-port", "TCPMON.DLL");
    spooler.hosts["net-port"] = "kpm-printer.example";
    spooler.Add("lower", "lower-port", "tcpmon.dll");
    spooler.hosts["lower-port"] = "kpm-printer.example";
    spooler.Add("upper", "upper-port", "DYNAMIC PRINT MONITOR");
    spooler.Add("longer", "longer-port", "TCPMON.DLL ");
    spooler.Add("local", "LPT1:", "Local Port");

    auto connector = KpBidi::ResolveConnector(Borrow(spooler), "usb");
    auto* usb = dynamic_cast<UsbConnector*>(connector.get());
    ASSERT_NE(usb, nullptr);
    EXPECT_EQ(usb->printerName(), "usb");
    EXPECT_EQ(usb->GetProtocolType(), 0);

    connector = KpBidi::ResolveConnector(Borrow(spooler), "net");
    const auto* net = dynamic_cast<NetworkConnector*>(connector.get());
    ASSERT_NE(net, nullptr);
    EXPECT_EQ(net->host(), "kpm-printer.example");

    for (const char* name : {"lower", "upper", "longer", "local"}) {
        EXPECT_EQ(CodeOf(spooler, name), KpBidi::UnsupportedPort) << name;
    }
}

TEST(ResolveConnector, APortThatIsNoListedPortIsUnsupported) {
    FakeSpooler spooler;
    spooler.Add("pool", "usb-a,usb-b", "");
    spooler.ports.push_back({"usb-a", "Dynamic Print Monitor"});
    spooler.ports.push_back({"usb-b", "Dynamic Print Monitor"});
    spooler.Add("orphan", "gone", "");
    spooler.Add("one-member-pool", "usb-a", "").entry.isClass = true;
    EXPECT_EQ(CodeOf(spooler, "pool"), KpBidi::UnsupportedPort);
    EXPECT_EQ(CodeOf(spooler, "one-member-pool"), KpBidi::UnsupportedPort);
    EXPECT_EQ(CodeOf(spooler, "orphan"), KpBidi::UnsupportedPort);
}

TEST(ResolveConnector, TheFirstPortOfTheNameDecides) {
    FakeSpooler spooler;
    spooler.Add("twice", "p", "TCPMON.DLL");
    spooler.ports.push_back({"p", "Dynamic Print Monitor"});
    spooler.hosts["p"] = "127.5.6.7";
    auto connector = KpBidi::ResolveConnector(Borrow(spooler), "twice");
    EXPECT_NE(dynamic_cast<NetworkConnector*>(connector.get()), nullptr);
}

TEST(ResolveConnector, PrintSystemFailuresBecomeLibraryCodes) {
    FakeSpooler spooler;
    spooler.Add("refused", "p", "TCPMON.DLL").openError =
        make_error_code(spooler::Errc::AccessDenied);
    spooler.Add("broken", "p2", "TCPMON.DLL").openError =
        make_error_code(spooler::Errc::Unavailable);
    spooler.Add("nohost", "p3", "TCPMON.DLL");  // the host cannot be read
    EXPECT_EQ(CodeOf(spooler, "unknown"), KpBidi::PrinterNotFound);
    EXPECT_EQ(CodeOf(spooler, "refused"), KpBidi::AccessDenied);
    EXPECT_EQ(CodeOf(spooler, "broken"), KpBidi::PlatformError);
    EXPECT_EQ(CodeOf(spooler, "nohost"), KpBidi::PlatformError);

    FakeSpooler noPorts;
    noPorts.Add("usb", "usb-port", "Dynamic Print Monitor");
    noPorts.portsError = make_error_code(spooler::Errc::Failed);
    EXPECT_EQ(CodeOf(noPorts, "usb"), KpBidi::PlatformError);
}

TEST(SystemPrinter, FromNameAsksNothingAndEveryConnectorIsResolvedAfresh) {
    auto spooler = std::make_shared<FakeSpooler>();
    spooler->Add("kpm", "usb-port", "Dynamic Print Monitor");
    spooler->hosts["net-port"] = "127.8.9.10";
    const std::unique_ptr<KpBidi::Printer> printer =
        KpBidi::SystemPrinter::FromName("kpm", spooler);
    EXPECT_EQ(spooler->requests, 0);
    EXPECT_EQ(printer->GetName(), "kpm");
    EXPECT_EQ(spooler->requests, 0);

    EXPECT_NE(dynamic_cast<UsbConnector*>(printer->CreateConnector().get()), nullptr);
    // The queue moves to the network: the next connector follows.
    spooler->queues[0].entry.port = "net-port";
    spooler->ports.push_back({"net-port", "TCPMON.DLL"});
    auto connector = printer->CreateConnector();
    const auto* net = dynamic_cast<NetworkConnector*>(connector.get());
    ASSERT_NE(net, nullptr);
    EXPECT_EQ(net->host(), "127.8.9.10");
}

TEST(UsbConnector, APrinterThatIsNotPluggedInIsNotAvailable) {
    // No USB printer has this serial number: the device is absent.
    auto spooler = std::make_shared<FakeSpooler>();
    spooler->Add("kpm-usb", "usb://Corvane/KPM%20pro?serial=kpm-absent-7f3a", "");
    spooler->Add("refused", "usb://Corvane/KPM%20pro?serial=x", "").openError =
        make_error_code(spooler::Errc::AccessDenied);
    UsbConnector connector("kpm-usb", spooler);
    EXPECT_EQ(connector.GetProtocolType(), 0);
    EXPECT_FALSE(connector.IsAvailable());
    EXPECT_EQ(connector.GetPreferredReadSize(), 0u);
    try {
        connector.GetDeviceId();
        ADD_FAILURE() << "an absent printer gave a device id";
    } catch (const KpBidi::Error& e) {
        EXPECT_EQ(e.code, KpBidi::PrinterNotAvailable);
    }
    try {
        connector.OpenNetworkStream(48000);
        ADD_FAILURE() << "a USB printer opened a network stream";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "attempted to open network for USB printer");
    }

    // The print system's failures keep their codes.
    for (const auto& [name, code] : {std::pair{"refused", KpBidi::AccessDenied},
                                     std::pair{"unknown", KpBidi::PrinterNotFound}}) {
        UsbConnector other(name, spooler);
        try {
            other.IsAvailable();
            ADD_FAILURE() << name;
        } catch (const KpBidi::Error& e) {
            EXPECT_EQ(e.code, code) << name;
        }
    }
}

}  // namespace
