// The network discovery's rules, on stand-in steps: which agents become
// printers, and in which order. (The bound against slow printers is tried
// on a real network in tests/tools/cups-backend.)
#include "bidi/communications/network_discovery.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <stdexcept>

namespace {

using KpBidi::DiscoverNetworkPrinters;
using KpBidi::NetworkDiscoverySteps;
using KpBidi::NetworkPrinter;
using KpBidi::SnmpAgentAnswer;
using Clock = std::chrono::steady_clock;

// Answers per broadcast address; the agents that speak the printer
// protocol, with their serial numbers; a broadcast that fails (asking it
// throws).
NetworkDiscoverySteps Steps(std::map<std::string, std::vector<SnmpAgentAnswer>> answers,
                            std::map<std::string, std::string> printers, std::string failing = {}) {
    NetworkDiscoverySteps steps;
    steps.broadcasts = [answers, failing] {
        std::vector<std::string> out;
        if (!failing.empty()) {
            out.push_back(failing);
        }
        for (const auto& [broadcast, _] : answers) {
            out.push_back(broadcast);
        }
        return out;
    };
    steps.ask = [answers](const std::string& broadcast) {
        if (answers.count(broadcast) == 0) {
            throw std::runtime_error("no such network");
        }
        return answers.at(broadcast);
    };
    steps.confirm = [printers](const std::string& address, Clock::time_point, std::string& serial) {
        const auto it = printers.find(address);
        if (it == printers.end()) {
            return false;
        }
        serial = it->second;
        return true;
    };
    return steps;
}

TEST(NetworkDiscovery, ListsConfirmedAgentsOnceInAddressOrderPastAFailingBroadcast) {
    const auto steps =
        Steps({{"10.0.0.255",
                {{"10.0.0.10", "MFG:Corvane;MDL:KPM pro;"},
                 {"10.0.0.9", "ID-9"},
                 {"10.0.0.20", "forged: answers SNMP, not the printer protocol"}}},
               // The same printer heard on a second network is listed once, with
               // what it said first.
               {"192.168.1.255", {{"10.0.0.9", "ID-9 again"}, {"192.168.1.2", "ID-2"}}},
               {"172.16.255.255", {}}},
              {{"10.0.0.9", "S9"}, {"10.0.0.10", "S10"}, {"192.168.1.2", "S2"}}, "10.1.0.255");
    const std::vector<NetworkPrinter> expected = {
        {"10.0.0.9", "ID-9", "S9"},
        {"10.0.0.10", "MFG:Corvane;MDL:KPM pro;", "S10"},
        {"192.168.1.2", "ID-2", "S2"},
    };
    EXPECT_EQ(DiscoverNetworkPrinters(steps), expected);
}

TEST(NetworkDiscovery, AgentsBeyondTheBoundAreNotAsked) {
    std::vector<SnmpAgentAnswer> first;
    std::vector<SnmpAgentAnswer> second;
    for (int i = 0; i < 200; ++i) {
        first.push_back({"10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250), "ID"});
        second.push_back({"10.1.0." + std::to_string(i), "ID"});
    }
    auto steps = Steps({{"10.0.255.255", first}, {"10.1.255.255", second}}, {});
    std::atomic<int> asked{0};
    steps.confirm = [&](const std::string&, Clock::time_point, std::string&) {
        ++asked;
        return true;
    };
    EXPECT_EQ(DiscoverNetworkPrinters(steps).size(), KpBidi::kMaxDiscoveryAnswers);
    EXPECT_EQ(asked.load(), static_cast<int>(KpBidi::kMaxDiscoveryAnswers));
}

}  // namespace
