// Saving the printer's log to a file without ever leaving a half-written
// file under the final name.
#pragma once

#include <cstdint>
#include <string>

#include "bidi/capi/kpbidi.h"

namespace kpbidi_tool {

struct LogFileResult {
    kpbidi_error_tag error{0, nullptr};
    std::string problem;  // a file problem of ours, when error.code is 0 but it failed
    std::uint64_t bytes = 0;
    double seconds = 0;
};

// Streams the log into a temporary file beside `path` and renames it into
// place once the printer's final block has arrived and the data is on disk.
// With `progress`, shows bytes and rate on standard error as they arrive.
// `path` must be new or a regular file of ours: a device, FIFO, folder,
// symbolic link or another user's file is refused (a problem, before the
// printer is asked). Ended by
// SIGINT, SIGTERM, SIGHUP or SIGQUIT, it removes the temporary file and ends
// the process with status 130.
LogFileResult FetchLogToFile(kpbidi_printer_tag* printer, const std::string& path, bool progress);

}  // namespace kpbidi_tool
