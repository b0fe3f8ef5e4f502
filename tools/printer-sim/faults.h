// Misbehaviour on demand: the ways a printer (or the line to it) can fail,
// chosen at start and switched while the simulator runs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/printer-sim/log_content.h"

namespace kpm::sim {

enum class FaultKind {
    Status,       // the operation answers status `value` and does nothing
    Split,        // the reply commands travel in two packets, two envelopes
    StaleId,      // a packet with an older id (and failure statuses) comes first
    TwoInOne,     // the reply commands travel in two packets in one envelope
    Only22,       // only the answer to command 22 is sent
    Truncated,    // the (last) reply packet is cut short, then the line closes
    BadFooter,    // the (last) reply packet's footer marker ends in 0x23
    BadChecksum,  // data blocks (command 28) carry a checksum off by one
    Silence,      // the request is read and never answered
    Close,        // the request is read and the line closed without answer
    Drip,         // the reply goes out `value` bytes every `intervalMs`
    LogShuffle,   // log blocks in a shuffled order (seed `value`)
    LogRepeat,    // log block `value` travels twice
    LogNoLast,    // no log block carries the last flag
    LogGap,       // log block `value` is left out
    Short,        // reply values are cut to `value` bytes (like an older firmware)
};

struct Fault {
    FaultKind kind = FaultKind::Status;
    std::optional<std::int64_t> value;  // see FaultKind; defaults apply when unset
    std::uint32_t intervalMs = 0;       // Drip only
    std::uint16_t code = 0;             // only requests carrying this command; 0 any
    int times = 0;                      // requests still to affect; 0 until cleared

    bool operator==(const Fault&) const = default;
};

// Parses "NAME[:VALUE[/INTERVAL]][@CODE][xTIMES]", for example "status:14@46",
// "split", "drip:16/5", "log-gap:3", "close@35x1". Throws std::invalid_argument
// with a readable message.
Fault ParseFault(std::string_view text);
std::string FormatFault(const Fault& fault);
const char* FaultName(FaultKind kind);
// One line per fault kind, for --help and the README.
std::string FaultHelp();

// What the faults in force do to one request.
struct ActiveFaults {
    // A status forced on the reply to a command: the fault's code, or 0 for
    // every command except 22 and 35.
    std::vector<std::pair<std::uint16_t, std::int32_t>> statuses;
    // Reply value lengths forced on the replies to a command: the fault's
    // code, or 0 for every command except 22 and 35.
    std::vector<std::pair<std::uint16_t, std::size_t>> lengths;
    bool split = false;
    bool staleId = false;
    bool twoInOne = false;
    bool only22 = false;
    bool truncated = false;
    bool badFooter = false;
    bool badChecksum = false;
    bool silence = false;
    bool close = false;
    std::optional<std::pair<std::uint32_t, std::uint32_t>> drip;  // bytes, milliseconds
    LogDeviation log;
    std::vector<std::string> applied;  // formatted faults, for the request log

    // The status forced on the reply to `code`, if any.
    std::optional<std::int32_t> StatusFor(std::uint16_t code) const;
    // The length the reply to `code` is cut to, if any.
    std::optional<std::size_t> LengthFor(std::uint16_t code) const;
};

// Not synchronised: the printer guards it with its own lock.
class FaultSet {
public:
    void Add(const Fault& fault) { faults_.push_back(fault); }
    void Clear() { faults_.clear(); }
    const std::vector<Fault>& list() const noexcept { return faults_; }

    // The faults for a request carrying these command codes; counts down the
    // faults limited to a number of requests and drops the used-up ones.
    // `logBlocks` is the number of blocks a log reply would carry (for the
    // default block of log-repeat and log-gap).
    ActiveFaults Take(const std::vector<std::uint16_t>& codes, std::uint32_t logBlocks);

private:
    std::vector<Fault> faults_;
};

}  // namespace kpm::sim
