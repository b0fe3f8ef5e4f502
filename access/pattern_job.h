// Sends a check-pattern job to a printer as one raw job of the print system.
#pragma once

#include <cstdint>
#include <string>

namespace spooler {
class Spooler;
}

namespace kpm::access {

// Job (and document) name of every check-pattern job.
inline constexpr const char kPatternDocumentName[] = "KP Data";

// Puts the embedded check-pattern job `resourceId` into the queue of
// printer `printerName` (UTF-8) unchanged, in one write, straight from the
// program image. Returns 0 on success, 1000 if there is no such pattern
// (the print system is not asked), 1001 if the printer cannot be opened,
// 1008 for any other failure. A job that fails after it was started is
// cancelled rather than left half-written in the queue. Does not wait for
// the printer.
std::uint16_t SendPatternJob(spooler::Spooler& spooler, const std::string& printerName,
                             int resourceId);

// The same on this machine's print system.
std::uint16_t SendPatternJob(const std::string& printerName, int resourceId);

}  // namespace kpm::access
