// The network discovery's rules, on stand-in steps: which agents become
// printers, in which order, and that slow ones cannot stretch the bound.
#include "bidi/communications/network_discovery.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>

namespace {

using KpBidi::DiscoverNetworkPrinters;
using KpBidi::NetworkDiscoverySteps;
using KpBidi::NetworkPrinter;
using KpBidi::SnmpAgentAnswer;
using Clock = std::chrono::steady_clock;

// Answers per broadcast address; the agents that speak the printer
// protocol, with their serial numbers.
NetworkDiscoverySteps Steps(std::map<std::string, std::vector<SnmpAgentAnswer>> answers,
                            std::map<std::string, std::string> printers) {
    NetworkDiscoverySteps steps;
    steps.broadcasts = [answers] {
        std::vector<std::string> out;
        for (const auto& [broadcast, _] : answers) {
            out.push_back(broadcast);
        }
        return out;
    };
    steps.ask = [answers](const std::string& broadcast) { return answers.at(broadcast); };
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

TEST(NetworkDiscovery, ListsConfirmedAgentsOnceInAddressOrder) {
    const auto steps =
        Steps({{"10.0.0.255",
                {{"10.0.0.10", "MFG:Corvane;MDL:KPM pro;"},
                 {"10.0.0.9", "ID-9"},
                 {"10.0.0.20", "forged: answers SNMP, not the printer protocol"}}},
               // The same printer heard on a second network is listed once, with
               // what it said first.
               {"192.168.1.255", {{"10.0.0.9", "ID-9 again"}, {"192.168.1.2", "ID-2"}}},
               {"172.16.255.255", {}}},
              {{"10.0.0.9", "S9"}, {"10.0.0.10", "S10"}, {"192.168.1.2", "S2"}});
    const std::vector<NetworkPrinter> expected = {
        {"10.0.0.9", "ID-9", "S9"},
        {"10.0.0.10", "MFG:Corvane;MDL:KPM pro;", "S10"},
        {"192.168.1.2", "ID-2", "S2"},
    };
    EXPECT_EQ(DiscoverNetworkPrinters(steps), expected);
}

TEST(NetworkDiscovery, NoInterfacesNoAnswersNothingListed) {
    EXPECT_TRUE(DiscoverNetworkPrinters(Steps({}, {})).empty());
    EXPECT_TRUE(DiscoverNetworkPrinters(Steps({{"10.0.0.255", {}}}, {})).empty());
}

TEST(NetworkDiscovery, ABroadcastThatFailsLeavesTheOthers) {
    auto steps =
        Steps({{"10.0.0.255", {{"10.0.0.9", "ID"}}}, {"10.1.0.255", {}}}, {{"10.0.0.9", "S"}});
    const auto ask = steps.ask;
    steps.ask = [ask](const std::string& broadcast) {
        if (broadcast == "10.1.0.255") {
            throw std::runtime_error("no such network");
        }
        return ask(broadcast);
    };
    EXPECT_EQ(DiscoverNetworkPrinters(steps).size(), 1u);
}

TEST(NetworkDiscovery, EveryReadEndsByTheOneDeadline) {
    // Forty agents accept the connection and never answer: each read is
    // given the same deadline, which ends them all together.
    std::vector<SnmpAgentAnswer> agents;
    for (int i = 1; i <= 40; ++i) {
        agents.push_back({"10.0.0." + std::to_string(i), "ID"});
    }
    auto steps = Steps({{"10.0.0.255", agents}}, {});
    std::mutex m;
    std::vector<Clock::time_point> deadlines;
    steps.confirm = [&](const std::string&, Clock::time_point deadline, std::string&) {
        {
            std::lock_guard lock(m);
            deadlines.push_back(deadline);
        }
        std::this_thread::sleep_until(deadline);
        return false;
    };
    const auto start = Clock::now();
    const auto bound = std::chrono::milliseconds(300);
    EXPECT_TRUE(DiscoverNetworkPrinters(steps, bound).empty());
    const auto took = Clock::now() - start;
    ASSERT_EQ(deadlines.size(), 40u);
    for (const auto d : deadlines) {
        EXPECT_EQ(d, deadlines.front());
    }
    EXPECT_GE(deadlines.front() - start, bound);
    EXPECT_LT(deadlines.front() - start, bound + std::chrono::milliseconds(100));
    // Not forty times the bound (under load, allow a generous margin).
    EXPECT_LT(took, 5 * bound);
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
