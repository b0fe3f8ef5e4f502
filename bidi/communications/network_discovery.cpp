#include "bidi/communications/network_discovery.h"

#include <arpa/inet.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <exception>
#include <future>
#include <system_error>
#include <thread>

#include "bidi/communications/linux/broadcast_addresses.h"
#include "bidi/communications/linux/deadline_printer.h"
#include "bidi/communications/linux/snmp_query.h"

namespace KpBidi {
namespace {

using Clock = std::chrono::steady_clock;
namespace linux = communications::linux;

// As many identity reads at a time as the main page's echoes.
constexpr std::size_t kMaxConcurrentReads = 64;

std::uint32_t NumericAddress(const std::string& text) {
    in_addr a{};
    return ::inet_pton(AF_INET, text.c_str(), &a) == 1 ? ntohl(a.s_addr) : 0;
}

std::vector<SnmpAgentAnswer> AskBroadcast(const std::string& broadcast) {
    const auto result =
        linux::BroadcastSnmpGet(broadcast, linux::kDeviceIdCommunity, linux::kDeviceIdOid,
                                kDiscoveryAnswerWindow, kMaxDiscoveryAnswers);
    std::vector<SnmpAgentAnswer> out;
    if (const auto* answers = std::get_if<std::vector<linux::SnmpAnswer>>(&result)) {
        for (const linux::SnmpAnswer& answer : *answers) {
            if (answer.value.kind == linux::SnmpValue::Kind::OctetString) {
                out.push_back({answer.source, answer.value.bytes.substr(0, kMaxDeviceIdBytes)});
            }
        }
    }
    return out;
}

bool ReadIdentity(const std::string& address, Clock::time_point deadline, std::string& serial) {
    try {
        linux::DeadlinePrinter printer(address, deadline);
        serial = printer.GetPrinterInfo().serialNumber;
        return true;
    } catch (...) {
        // No reply by the deadline, or none of the printer protocol.
        return false;
    }
}

// Every broadcast at once: their answer windows overlap instead of adding up.
std::vector<SnmpAgentAnswer> AskAll(const NetworkDiscoverySteps& steps) {
    std::vector<std::future<std::vector<SnmpAgentAnswer>>> asked;
    for (const std::string& broadcast : steps.broadcasts()) {
        asked.push_back(std::async(std::launch::async, steps.ask, broadcast));
    }
    std::vector<SnmpAgentAnswer> agents;
    for (auto& one : asked) {
        std::vector<SnmpAgentAnswer> answers;
        try {
            answers = one.get();
        } catch (const std::exception&) {
            continue;  // that network could not be asked; the others count
        }
        for (SnmpAgentAnswer& answer : answers) {
            const bool known = std::any_of(agents.begin(), agents.end(), [&](const auto& a) {
                return a.address == answer.address;
            });
            if (!known && agents.size() < kMaxDiscoveryAnswers) {
                agents.push_back(std::move(answer));
            }
        }
    }
    return agents;
}

}  // namespace

std::vector<NetworkPrinter> DiscoverNetworkPrinters(const NetworkDiscoverySteps& steps,
                                                    std::chrono::milliseconds bound) {
    const Clock::time_point deadline = Clock::now() + bound;
    const std::vector<SnmpAgentAnswer> agents = AskAll(steps);

    // Each agent is asked whether it speaks the printer protocol; a worker
    // takes the next agent until none is left. Every read ends by the
    // deadline, so joining the workers does too.
    std::vector<std::string> serials(agents.size());
    std::vector<char> confirmed(agents.size(), 0);
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < agents.size(); i = next++) {
            confirmed[i] = steps.confirm(agents[i].address, deadline, serials[i]) ? 1 : 0;
        }
    };
    std::vector<std::thread> workers;
    const std::size_t count = std::min(agents.size(), kMaxConcurrentReads);
    for (std::size_t i = 0; i < count; ++i) {
        try {
            workers.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // fewer threads: the ones running take every agent
        }
    }
    if (workers.empty()) {
        work();
    }
    for (std::thread& worker : workers) {
        worker.join();
    }

    std::vector<NetworkPrinter> printers;
    for (std::size_t i = 0; i < agents.size(); ++i) {
        if (confirmed[i] != 0) {
            printers.push_back({agents[i].address, agents[i].deviceId, serials[i]});
        }
    }
    std::sort(printers.begin(), printers.end(), [](const auto& a, const auto& b) {
        return NumericAddress(a.address) < NumericAddress(b.address);
    });
    return printers;
}

std::vector<NetworkPrinter> DiscoverNetworkPrinters() {
    NetworkDiscoverySteps steps;
    steps.broadcasts = linux::BroadcastAddresses;
    steps.ask = AskBroadcast;
    steps.confirm = ReadIdentity;
    return DiscoverNetworkPrinters(steps);
}

}  // namespace KpBidi
