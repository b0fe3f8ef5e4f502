// Which queues the main page lists, on an in-memory print system with a
// scripted echo.
#include "bidi/communications/printer_discovery.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>

#include "tests/support/fake_spooler.h"

namespace {

using KpBidi::DiscoveredPrinter;
using kpm::test::FakeSpooler;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Hosts are dotted addresses or names from a table; an address answers
// after its delay, or stays silent for the whole time-out.
struct Network {
    std::map<std::string, std::uint32_t> names;
    std::map<std::uint32_t, milliseconds> answersAfter;

    std::uint32_t Resolve(const std::string& host) const {
        if (const auto it = names.find(host); it != names.end()) {
            return it->second;
        }
        unsigned a, b, c, d;
        if (std::sscanf(host.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d) == 4) {
            return (a << 24) | (b << 16) | (c << 8) | d;
        }
        return 0;
    }

    bool Echo(std::uint32_t address, milliseconds timeout) const {
        const auto it = answersAfter.find(address);
        if (it == answersAfter.end() || it->second > timeout) {
            std::this_thread::sleep_for(timeout);
            return false;
        }
        std::this_thread::sleep_for(it->second);
        return true;
    }
};

std::vector<DiscoveredPrinter> Discover(FakeSpooler& spooler, const Network& network) {
    return KpBidi::DiscoverPrinters(
        spooler, [&](std::uint32_t a, milliseconds t) { return network.Echo(a, t); },
        [&](const std::string& h) { return network.Resolve(h); });
}

void AddUsb(FakeSpooler& spooler, const std::string& name, std::vector<unsigned char> matCheck,
            const std::string& driver = "Corvane KPM pro") {
    spooler.Add(name, "usb://Corvane/KPM?serial=" + name, "Dynamic Print Monitor", driver)
        .driverData["CvMatCheck"] = std::move(matCheck);
}

void AddNet(FakeSpooler& spooler, const std::string& name, const std::string& host,
            const std::string& driver = "Corvane KPM pro") {
    const std::string port = "socket://" + host + ":9100/" + name;
    spooler.Add(name, port, "TCPMON.DLL", driver);
    spooler.hosts[port] = host;
}

TEST(DiscoveryRules, ResultsKeepThePrintSystemOrderWhateverAnswersFirst) {
    FakeSpooler spooler;
    Network network;
    AddNet(spooler, "A-slow", "127.1.1.1");
    AddUsb(spooler, "B-usb", {0, 0, 0, 0});
    AddNet(spooler, "C-fast", "127.1.1.3");
    AddNet(spooler, "D-name", "kpm-d.example");
    network.answersAfter[0x7F010101] = milliseconds(300);
    network.answersAfter[0x7F010103] = milliseconds(1);
    network.names["kpm-d.example"] = 0x7F010104;
    network.answersAfter[0x7F010104] = milliseconds(100);

    EXPECT_EQ(
        Discover(spooler, network),
        (std::vector<DiscoveredPrinter>{
            {"A-slow", 0x7F010101}, {"B-usb", 0}, {"C-fast", 0x7F010103}, {"D-name", 0x7F010104}}));
}

TEST(DiscoveryRules, OnlyTheFamilysDriverExactly) {
    FakeSpooler spooler;
    Network network;
    AddUsb(spooler, "exact", {0});
    AddUsb(spooler, "lower", {0}, "corvane kpm pro");
    AddUsb(spooler, "longer", {0}, "Corvane KPM pro II");
    AddUsb(spooler, "shorter", {0}, "Corvane KPM");
    AddUsb(spooler, "spaced", {0}, "Corvane KPM pro ");
    EXPECT_EQ(Discover(spooler, network), (std::vector<DiscoveredPrinter>{{"exact", 0}}));
}

TEST(DiscoveryRules, FileOutputsAndFilePortsAreSkipped) {
    FakeSpooler spooler;
    Network network;
    AddUsb(spooler, "kpm-FileOutput", {0});
    AddUsb(spooler, "FileOutput", {0});
    spooler.Add("to-file", "FILE:", "Local Port");
    spooler.Add("to-uri", "file:///tmp/kpm.prn", "file");
    spooler.queues[2].driverData["CvMatCheck"] = {0};
    spooler.queues[3].driverData["CvMatCheck"] = {0};
    AddUsb(spooler, "fileoutput-lower-case", {0});  // the test is case-sensitive
    EXPECT_EQ(Discover(spooler, network),
              (std::vector<DiscoveredPrinter>{{"fileoutput-lower-case", 0}}));
}

TEST(DiscoveryRules, UsbQueuesNeedAMatCheckValueStartingWithZero) {
    FakeSpooler spooler;
    Network network;
    AddUsb(spooler, "zero", {0, 0, 0, 0});
    AddUsb(spooler, "first-byte-zero", {0, 1, 2, 3});
    AddUsb(spooler, "one-byte", {0});
    AddUsb(spooler, "one", {1, 0, 0, 0});
    AddUsb(spooler, "too-long", {0, 0, 0, 0, 0});
    AddUsb(spooler, "empty", {});
    spooler.Add("none", "usb://none", "Dynamic Print Monitor");
    AddUsb(spooler, "refused", {0});
    spooler.queues.back().openError = make_error_code(spooler::Errc::AccessDenied);
    EXPECT_EQ(
        Discover(spooler, network),
        (std::vector<DiscoveredPrinter>{{"zero", 0}, {"first-byte-zero", 0}, {"one-byte", 0}}));
}

TEST(DiscoveryRules, NetworkQueuesNeedAnAddressThatAnswers) {
    FakeSpooler spooler;
    Network network;
    AddNet(spooler, "answers", "127.2.2.2");
    network.answersAfter[0x7F020202] = milliseconds(5);
    AddNet(spooler, "silent", "127.2.2.3");
    AddNet(spooler, "too-late", "127.2.2.4");
    network.answersAfter[0x7F020204] = milliseconds(1500);
    // A network queue whose host has no IPv4 address is not reachable; it
    // is not taken for a USB printer, whatever its driver data says.
    AddNet(spooler, "unresolved", "nowhere.invalid");
    spooler.queues.back().driverData["CvMatCheck"] = {0};
    spooler.Add("no-host", "socket://", "TCPMON.DLL").driverData["CvMatCheck"] = {0};
    // Ports of other monitors reach no KPM transport.
    spooler.Add("ipp", "ipp://127.2.2.2/ipp/print", "ipp").driverData["CvMatCheck"] = {0};
    spooler.Add("unlisted-port", "somewhere", "").driverData["CvMatCheck"] = {0};
    // A class of one network member still has no port of its own.
    AddNet(spooler, "pool", "127.2.2.2");
    spooler.queues.back().entry.isClass = true;
    EXPECT_EQ(Discover(spooler, network),
              (std::vector<DiscoveredPrinter>{{"answers", 0x7F020202}}));
}

TEST(DiscoveryRules, SilentPrintersCostOneTimeOutTogether) {
    FakeSpooler spooler;
    Network network;
    for (int i = 0; i < 5; ++i) {
        AddNet(spooler, "silent-" + std::to_string(i), "127.3.3." + std::to_string(i + 1));
    }
    AddUsb(spooler, "usb", {0});
    const auto start = Clock::now();
    EXPECT_EQ(Discover(spooler, network), (std::vector<DiscoveredPrinter>{{"usb", 0}}));
    const auto took = Clock::now() - start;
    EXPECT_GE(took, milliseconds(1000));
    EXPECT_LT(took, milliseconds(1900));
}

TEST(DiscoveryRules, APrintSystemThatCannotListHasNoPrinters) {
    FakeSpooler spooler;
    Network network;
    AddUsb(spooler, "usb", {0});
    spooler.listError = make_error_code(spooler::Errc::Unavailable);
    EXPECT_TRUE(Discover(spooler, network).empty());
    spooler.listError.clear();
    spooler.portsError = make_error_code(spooler::Errc::Failed);
    EXPECT_TRUE(Discover(spooler, network).empty());
}

}  // namespace
