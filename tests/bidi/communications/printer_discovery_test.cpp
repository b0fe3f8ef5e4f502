// The printer discovery against the private cupsd, with real echo requests
// on loopback, and inside a network namespace where nothing answers them.
#include "bidi/communications/printer_discovery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "tests/support/command.h"
#include "tests/support/cups_queues.h"
#include "tests/support/process.h"

namespace {

using KpBidi::DiscoveredPrinter;
using kpm::test::Queues;
using kpm::test::UniqueQueueName;

std::vector<DiscoveredPrinter> Mine(const std::string& prefix) {
    std::vector<DiscoveredPrinter> found = KpBidi::DiscoverPrinters();
    found.erase(
        std::remove_if(found.begin(), found.end(),
                       [&](const DiscoveredPrinter& p) { return p.name.rfind(prefix, 0) != 0; }),
        found.end());
    return found;
}

std::uint32_t HostOrder(const std::string& dotted) {
    unsigned a, b, c, d;
    EXPECT_EQ(std::sscanf(dotted.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d), 4);
    return (a << 24) | (b << 16) | (c << 8) | d;
}

TEST(DiscoveryOnCups, ListsReachableKpmQueuesInPrintSystemOrder) {
    Queues queues;
    const std::string p = UniqueQueueName("disc");
    const std::string address = kpm::sim::RandomLoopbackAddress();
    const kpm::test::PpdVariant lowerCase({{"*NickName", "*NickName: \"corvane kpm pro\""},
                                           {"*ModelName", "*ModelName: \"corvane kpm pro\""}});
    const kpm::test::PpdVariant appended({{"*NickName", "*NickName: \"Corvane KPM pro II\""},
                                          {"*ModelName", "*ModelName: \"Corvane KPM pro II\""}});
    const kpm::test::PpdVariant matOne{{"*CvMatCheck", "*CvMatCheck: \"1\""}};
    const kpm::test::PpdVariant noMat{{"*CvMatCheck", ""}};

    // Added out of order: the print system lists queues by name.
    queues.Add(p + "-c-localhost", "socket://localhost:9100");
    queues.Add(p + "-b-net", "socket://" + address + ":9100");
    queues.Add(p + "-a-usb", "usb://Corvane/KPM%20pro?serial=A1");
    queues.Add(p + "-d-lower-case-driver", "usb://Corvane/KPM%20pro?serial=D1", lowerCase.path());
    queues.Add(p + "-e-longer-driver", "usb://Corvane/KPM%20pro?serial=E1", appended.path());
    queues.Add(p + "-f-FileOutput", "usb://Corvane/KPM%20pro?serial=F1");
    queues.Add(p + "-g-file", "file:///dev/null");
    queues.Add(p + "-h-ipp", "ipp://" + address + "/ipp/print");
    queues.Add(p + "-i-mat-one", "usb://Corvane/KPM%20pro?serial=I1", matOne.path());
    queues.Add(p + "-j-no-mat", "usb://Corvane/KPM%20pro?serial=J1", noMat.path());
    queues.Add(p + "-k-unresolved", "socket://no-such-printer.invalid:9100");
    queues.Add(p + "-l-raw", "usb://Corvane/KPM%20pro?serial=L1", "raw");

    EXPECT_EQ(Mine(p), (std::vector<DiscoveredPrinter>{{p + "-a-usb", 0},
                                                       {p + "-b-net", HostOrder(address)},
                                                       {p + "-c-localhost", 0x7F000001}}));
}

// Inside a network namespace of its own with echo answers switched off, the
// discovery still reaches the print system through its Unix socket.
std::string DiscoverWhereNothingAnswers(const std::string& prefix) {
    const std::string unshare = kpm::test::FindProgram("unshare");
    const std::string ip = kpm::test::FindProgram("ip");
    const std::string sysctl = kpm::test::FindProgram("sysctl");
    if (unshare.empty() || ip.empty() || sysctl.empty()) {
        ADD_FAILURE() << "unshare (util-linux), ip (iproute2) and sysctl (procps) are needed";
        return {};
    }
    const kpm::test::CommandResult result =
        kpm::test::RunCommand({unshare, "--net", "sh", "-c",
                               ip + " link set lo up && " + sysctl +
                                   " -q -w net.ipv4.icmp_echo_ignore_all=1 && exec \"$0\" \"$1\"",
                               KPBIDI_DISCOVER, prefix});
    EXPECT_EQ(result.exitStatus, 0) << result.output;
    return result.output;
}

TEST(DiscoveryOnCups, FiveSilentNetworkPrintersCostAboutOneSecond) {
    Queues queues;
    const std::string p = UniqueQueueName("silent");
    for (int i = 0; i < 5; ++i) {
        queues.Add(p + "-net-" + std::to_string(i),
                   "socket://" + kpm::sim::RandomLoopbackAddress() + ":9100");
    }
    queues.Add(p + "-usb", "usb://Corvane/KPM%20pro?serial=S1");

    std::istringstream output(DiscoverWhereNothingAnswers(p));
    std::vector<std::string> lines;
    long took = -1;
    for (std::string line; std::getline(output, line);) {
        if (line.rfind("took ", 0) == 0) {
            took = std::stol(line.substr(5));
        } else {
            lines.push_back(line);
        }
    }
    EXPECT_EQ(lines, std::vector<std::string>{p + "-usb 0"});
    EXPECT_GE(took, 1000);  // each silent printer was given its whole second
    EXPECT_LT(took, 2500);  // but not one after another
}

}  // namespace
