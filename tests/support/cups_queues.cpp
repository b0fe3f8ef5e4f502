#include "tests/support/cups_queues.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/command.h"
#include "tests/support/process.h"

namespace kpm::test {
namespace {

// lpadmin and friends live in sbin folders that a user's PATH may lack.
std::vector<std::string> Located(std::vector<std::string> argv) {
    const std::string full = FindProgram(argv[0]);
    if (!full.empty()) {
        argv[0] = full;
    }
    return argv;
}

void Run(const std::vector<std::string>& argv) {
    const CommandResult result = RunCommand(Located(argv));
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

long long SpooledDocumentSize(int jobId) {
    char file[32];
    std::snprintf(file, sizeof file, "d%05d-001", jobId);
    std::error_code error;
    const auto size =
        std::filesystem::file_size(std::filesystem::path(KPM_CUPSD_DIR) / "spool" / file, error);
    return error ? -1 : static_cast<long long>(size);
}

std::string UniqueQueueName(const std::string& prefix) {
    static std::atomic<int> counter{0};
    return prefix + "-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
}

PpdVariant::PpdVariant(std::initializer_list<std::pair<std::string, std::string>> replacements) {
    std::ifstream in(KpmPpdPath());
    std::stringstream text;
    std::string line;
    while (std::getline(in, line)) {
        const std::string keyword = line.substr(0, line.find(':'));
        const auto it = std::find_if(replacements.begin(), replacements.end(),
                                     [&](const auto& r) { return r.first == keyword; });
        if (it == replacements.end()) {
            text << line << "\n";
        } else if (!it->second.empty()) {
            text << it->second << "\n";
        }
    }
    path_ = (std::filesystem::temp_directory_path() / (UniqueQueueName("kpm-variant") + ".ppd"))
                .string();
    std::ofstream out(path_);
    out << text.str();
    if (!out) {
        ADD_FAILURE() << "cannot write " << path_;
    }
}

PpdVariant::~PpdVariant() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

Queues::~Queues() {
    for (auto it = names_.rbegin(); it != names_.rend(); ++it) {
        RunCommand(Located({"lpadmin", "-x", *it}));
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
