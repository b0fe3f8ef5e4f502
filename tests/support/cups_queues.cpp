#include "tests/support/cups_queues.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <random>

#include "tests/support/command.h"

namespace kpm::test {
namespace {

void Run(const std::vector<std::string>& argv) {
    const CommandResult result = RunCommand(argv);
    if (result.exitStatus != 0) {
        std::string line;
        for (const std::string& a : argv) {
            line += a + " ";
        }
        ADD_FAILURE() << line << "failed (" << result.exitStatus << "): " << result.output;
    }
}

}  // namespace

std::string KpmPpdPath() {
    return KPM_PPD_PATH;
}

std::string RandomLoopbackAddress() {
    static thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<int> part(2, 254);
    return "127." + std::to_string(part(generator)) + "." + std::to_string(part(generator)) + "." +
           std::to_string(part(generator));
}

std::string UniqueQueueName(const std::string& prefix) {
    static std::atomic<int> counter{0};
    return prefix + "-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
}

Queues::~Queues() {
    for (auto it = names_.rbegin(); it != names_.rend(); ++it) {
        RunCommand({"lpadmin", "-x", *it});
    }
}

void Queues::Add(const std::string& name, const std::string& deviceUri, const std::string& ppd,
                 const std::vector<std::string>& extra) {
    std::vector<std::string> argv{"lpadmin", "-p", name, "-E", "-v", deviceUri};
    if (ppd != "raw") {
        argv.push_back("-P");
        argv.push_back(ppd.empty() ? KpmPpdPath() : ppd);
    }
    argv.insert(argv.end(), extra.begin(), extra.end());
    Run(argv);
    names_.push_back(name);
}

void Queues::AddToClass(const std::string& member, const std::string& className) {
    Run({"lpadmin", "-p", member, "-c", className});
    Run({"cupsenable", className});
    Run({"cupsaccept", className});
    if (std::find(names_.begin(), names_.end(), className) == names_.end()) {
        names_.push_back(className);
    }
}

void Queues::Remove(const std::string& name) {
    Run({"lpadmin", "-x", name});
    names_.erase(std::remove(names_.begin(), names_.end(), name), names_.end());
}

void Queues::Pause(const std::string& name) {
    Run({"cupsdisable", name});
}

void Queues::Resume(const std::string& name) {
    Run({"cupsenable", name});
}

}  // namespace kpm::test
