// The control channel: one line of text in, one answer out, per TCP
// connection on the control port. `kpm-printer-sim ctl ADDRESS COMMAND...`
// is its client; tests may call RunControlCommand directly.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "tools/printer-sim/socket.h"

namespace kpm::sim {

class Simulator;

struct ControlReply {
    bool ok = false;
    std::string body;  // the answer (JSON or text), or the error message
};

// `fileFolder`: where the commands that read or write files (save, load,
// snmpd-config) do so. They take a plain file name in that folder (no
// folder part, not "." or "..", not a symbolic link); with an empty folder
// they are refused.
ControlReply RunControlCommand(Simulator& simulator, std::string_view line,
                               const std::filesystem::path& fileFolder = {});
std::string ControlHelp();

// Reads one command line, answers "ok\n" plus the body, or "error: ...\n".
// Every local user can reach the channel, so file commands are taken only
// when the simulator was started with a folder for them
// (Options::controlFolder), and only on a loopback address: on any other
// address anybody on the network could send them.
void ServeControlConnection(Simulator& simulator, UniqueFd connection, const StopSignal& stop);

// Client side. Throws std::system_error when nothing listens there, or
// std::runtime_error when the answer does not come within `timeout`.
ControlReply SendControlCommand(const std::string& address, std::uint16_t port,
                                const std::string& line,
                                std::chrono::milliseconds timeout = std::chrono::seconds(10));

}  // namespace kpm::sim
