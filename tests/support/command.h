// Runs a program of the machine (lpadmin, cupsenable, a simulator) from a
// test and reports how it ended.
#pragma once

#include <string>
#include <vector>

namespace kpm::test {

struct CommandResult {
    int exitStatus = -1;  // -1: did not run or was killed by a signal
    std::string output;   // standard output and standard error, interleaved
};

// Runs `argv` (argv[0] looked up in PATH) to completion.
CommandResult RunCommand(const std::vector<std::string>& argv);

}  // namespace kpm::test
