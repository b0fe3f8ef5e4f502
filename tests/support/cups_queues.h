// Queues of the tests' private CUPS server (scripts/cupsd-harness, started
// by the ctest fixture "cupsd"; CUPS_SERVER names its socket).
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "tools/printer-sim/loopback.h"

namespace kpm::test {

// The project's KPM queue driver.
std::string KpmPpdPath();

// Size of the document of job `jobId` as the private cupsd spooled it
// (its spool file), or -1 when there is none.
long long SpooledDocumentSize(int jobId);

// A printer name no other test process uses: `prefix`, this process's id
// and a counter.
std::string UniqueQueueName(const std::string& prefix);

// The KPM driver with some of its keyword lines replaced, in a temporary
// file removed on destruction. Each replacement maps a keyword ("*NickName")
// to its new line, or to "" to drop the keyword.
class PpdVariant {
public:
    PpdVariant(std::initializer_list<std::pair<std::string, std::string>> replacements);
    ~PpdVariant();
    PpdVariant(const PpdVariant&) = delete;
    PpdVariant& operator=(const PpdVariant&) = delete;

    const std::string& path() const noexcept { return path_; }

private:
    std::string path_;
};

// Adds queues and removes them again on destruction. Every failure of the
// print system fails the test (ADD_FAILURE) with lpadmin's words.
class Queues {
public:
    Queues() = default;
    ~Queues();
    Queues(const Queues&) = delete;
    Queues& operator=(const Queues&) = delete;

    // An enabled queue accepting jobs, on `deviceUri` with `ppd` (the KPM
    // driver when empty, no driver at all when "raw"); `extra` are further
    // lpadmin arguments.
    void Add(const std::string& name, const std::string& deviceUri, const std::string& ppd = "",
             const std::vector<std::string>& extra = {});

    // Adds printer `member` to class `className` (creating the class).
    void AddToClass(const std::string& member, const std::string& className);

    void Remove(const std::string& name);

    // Stops the queue: jobs wait in it until Resume.
    void Pause(const std::string& name);
    void Resume(const std::string& name);

private:
    std::vector<std::string> names_;
};

}  // namespace kpm::test
