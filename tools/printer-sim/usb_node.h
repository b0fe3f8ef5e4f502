// The simulator's USB side: a node that a program opens, writes requests to
// and reads replies from as it would /dev/usb/lpN, answered with bare
// packets (no network envelope).
//
// The node is a pseudo-terminal: like a usblp node it is one path, opened
// with open(), read and written on one descriptor, and poll() tells when a
// reply is there. (A socket cannot be opened by path; a pair of FIFOs would
// be two nodes.) Its line discipline is set fully raw, so every byte passes
// unchanged: no echo, no CR/LF translation, no signal or flow-control
// characters, reads return what has arrived. Each program that opens the
// node is one session; when it closes the node, reply bytes it left unread
// are dropped, so the next program starts clean. (The session's end is seen
// as the terminal's hang-up, which a new opener in the same instant would
// cancel; then the sessions simply run on as one.)
#pragma once

#include <string>
#include <thread>

#include "tools/printer-sim/printer.h"
#include "tools/printer-sim/session.h"
#include "tools/printer-sim/socket.h"

namespace kpm::sim {

class UsbNode {
public:
    // Serving when it returns. Throws std::system_error when no
    // pseudo-terminal can be had.
    UsbNode(Printer& printer, SessionLimits limits);
    ~UsbNode();

    UsbNode(const UsbNode&) = delete;
    UsbNode& operator=(const UsbNode&) = delete;

    // The node to open ("/dev/pts/7").
    const std::string& path() const noexcept { return path_; }

private:
    void Serve();
    // Waits until a program has the node open; false once stopped.
    bool WaitForClient();
    void DropUnreadReplies();

    Printer& printer_;
    SessionLimits limits_;
    StopSignal stop_;
    UniqueFd master_;
    std::string path_;
    std::thread thread_;
};

}  // namespace kpm::sim
