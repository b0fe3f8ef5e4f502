// The simulator's account of what it was asked: one record, and one
// readable line, per request, print job or malformed input.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "bidi/protocol/command.h"

namespace kpm::sim {

struct RequestRecord {
    enum class Kind { Request, Job, Malformed };

    Kind kind = Kind::Request;
    std::chrono::system_clock::time_point time;
    std::uint32_t id = 0;
    // The request's commands; values longer than kKeptBytes are cut there
    // (dataSize keeps the real length).
    struct Sent {
        std::uint16_t code = 0;
        std::vector<unsigned char> data;
        std::size_t dataSize = 0;
    };
    std::vector<Sent> commands;
    // Reply code and status word of each answer; the log reply is one entry
    // (code 6) whose status is the number of blocks sent.
    std::vector<std::pair<std::uint16_t, std::int32_t>> answers;
    std::vector<std::string> faults;
    std::string note;

    static constexpr std::size_t kKeptBytes = 64;
};

// "2024-05-01 12:03:04.123 id 0012d687  22(00 00 00 00 00 00 00 00)
//  46(01 00 00 02 fc 06 00 00)  -> 22:0 34:0", on one line.
std::string FormatRequestLine(const RequestRecord& record);

}  // namespace kpm::sim
