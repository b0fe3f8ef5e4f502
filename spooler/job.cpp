#include "spooler/job.h"

namespace spooler {

const char* JobStateName(JobState state) noexcept {
    switch (state) {
        case JobState::Pending:
            return "pending";
        case JobState::Held:
            return "held";
        case JobState::Processing:
            return "processing";
        case JobState::Stopped:
            return "stopped";
        case JobState::Canceled:
            return "canceled";
        case JobState::Aborted:
            return "aborted";
        case JobState::Completed:
            return "completed";
    }
    return "unknown";
}

}  // namespace spooler
