// One bulk endpoint file of a FunctionFS function (ep1, ep2, ...), used
// through the kernel's asynchronous I/O so that a transfer can be given up.
// A transfer on such a file ends only when the host has taken (or sent) the
// packet, and the files cannot be polled; a blocked read(2) or write(2)
// would hold the simulator until the host moved.
#pragma once

#include <linux/aio_abi.h>

#include <cstddef>
#include <string>

#include "tools/printer-sim/socket.h"

namespace kpm::sim {

class GadgetEndpoint {
public:
    // Opens `path` non-blocking. Throws std::system_error.
    explicit GadgetEndpoint(const std::string& path);
    ~GadgetEndpoint();
    GadgetEndpoint(const GadgetEndpoint&) = delete;
    GadgetEndpoint& operator=(const GadgetEndpoint&) = delete;

    // One transfer of at most `size` bytes (the whole of them for a write).
    // The bytes moved, or -errno when the transfer failed (the host went
    // away, the function was disabled: -ESHUTDOWN, -EAGAIN, ...). Throws
    // Stopped when `stop` is raised first; the transfer is then cancelled
    // and `data` is no longer used when this returns.
    long Read(unsigned char* data, std::size_t size, const StopSignal& stop);
    long Write(const unsigned char* data, std::size_t size, const StopSignal& stop);

private:
    long Transfer(unsigned opcode, const unsigned char* data, std::size_t size,
                  const StopSignal& stop);
    // Waits for the submitted transfer's completion; its result.
    long Reap(int timeoutMs);

    UniqueFd file_;
    UniqueFd done_;  // eventfd, signalled at each completion
    aio_context_t context_ = 0;
};

}  // namespace kpm::sim
