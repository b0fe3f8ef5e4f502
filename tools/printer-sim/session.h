// Transports: how requests reach the printer and replies leave it. The
// network form wraps each reply payload in the length-prefixed envelope and
// carries one request per TCP connection; the raw form (a USB-style device
// node) carries bare packets back to back. The job port takes print jobs.
// Everything here is bounded: garbage, half envelopes, absurd lengths and
// idle peers end their own connection and nothing else.
#pragma once

#include <chrono>
#include <cstdint>

#include "tools/printer-sim/printer.h"
#include "tools/printer-sim/socket.h"

namespace kpm::sim {

enum class Framing { Envelope, Raw };

struct SessionLimits {
    // A peer that sends nothing for this long is dropped.
    std::chrono::milliseconds idle{10000};
    // Largest request envelope payload accepted (requests are a few KiB).
    std::uint32_t maxRequestBytes = 1u << 20;
    // Largest print job accepted; larger ones are read and discarded.
    std::uint64_t maxJobBytes = 256ull << 20;
    // How long a silent reply keeps the line open at most.
    std::chrono::milliseconds silenceLimit{std::chrono::minutes(5)};
};

// Writes a response: each payload in an envelope (Envelope) or its packets
// back to back (Raw), dripping when the response asks for it.
void WriteResponse(int fd, const Response& response, Framing framing, const StopSignal& stop);

// One connection of the protocol port: one envelope in, the reply out,
// closed. Never throws.
void ServeNetworkConnection(Printer& printer, UniqueFd connection, const StopSignal& stop,
                            const SessionLimits& limits);

// A raw packet stream: requests and replies as bare packets, for as long as
// the stream lasts. Never throws.
// A print job packet among them is taken as a job, without an answer.
void ServeRawStream(Printer& printer, int fd, const StopSignal& stop, const SessionLimits& limits);
// The same with requests read from `in` and replies written to `out`.
void ServeRawStream(Printer& printer, int in, int out, const StopSignal& stop,
                    const SessionLimits& limits);

// One connection of the job port (AppSocket): the whole job, then closed.
// Never throws.
void ServeJobConnection(Printer& printer, UniqueFd connection, const StopSignal& stop,
                        const SessionLimits& limits);

}  // namespace kpm::sim
