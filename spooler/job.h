// Jobs in a printer's queue.
#pragma once

#include <cstdint>
#include <string>

namespace spooler {

// The states of a job, in the print system's order. A job in one of the
// last three has left the queue: the print system only keeps its history.
enum class JobState {
    Pending,
    Held,
    Processing,
    Stopped,
    Canceled,
    Aborted,
    Completed,
};

// true for the states in which the job is still queued or being printed.
constexpr bool IsActive(JobState state) noexcept {
    return state == JobState::Pending || state == JobState::Held || state == JobState::Processing ||
           state == JobState::Stopped;
}

const char* JobStateName(JobState state) noexcept;

struct JobEntry {
    int id = 0;
    std::string name;
    JobState state = JobState::Pending;
    // Size of the job's documents in kilobytes, rounded up, as the print
    // system counts it.
    std::uint64_t kilobytes = 0;
};

}  // namespace spooler
