// One bulk endpoint file of a FunctionFS function (ep1, ep2, ...), used
// through the kernel's asynchronous I/O so that a transfer can be given up.
// A transfer on such a file ends only when the host has taken (or sent) the
// packet, and the files cannot be polled; a blocked read(2) or write(2)
// would hold the simulator until the host moved.
#pragma once

#include <linux/aio_abi.h>

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "tools/printer-sim/gadget_descriptors.h"
#include "tools/printer-sim/socket.h"

namespace kpm::sim {

class GadgetEndpoint {
public:
    // Opens `path` non-blocking, for up to `depth` queued writes. Throws
    // std::system_error.
    explicit GadgetEndpoint(const std::string& path, std::size_t depth = 1);
    ~GadgetEndpoint();
    GadgetEndpoint(const GadgetEndpoint&) = delete;
    GadgetEndpoint& operator=(const GadgetEndpoint&) = delete;

    // One read of at most `size` bytes: the bytes moved, or -errno when it
    // failed (the host went away, the function was disabled: -ESHUTDOWN,
    // -EAGAIN, ...). Throws Stopped when `stop` is raised first; the read is
    // then cancelled and `data` is no longer used when this returns.
    long Read(unsigned char* data, std::size_t size, const StopSignal& stop);

    // Queued writes of at most one packet each, which the host takes in
    // order; several in flight keep the host's reads busy.
    bool CanQueue() const noexcept { return inFlight_ < slots_.size(); }
    // Copies `size` bytes (at most a packet) into a free slot and submits
    // them: 0, or -errno when the submission failed.
    long Queue(const unsigned char* data, std::size_t size);
    // Readable when queued writes have completed.
    int completions() const noexcept { return done_.get(); }
    // Frees the slots of the completed writes: 0, or the first failure.
    long Collect();
    // Cancels every queued write and waits until the kernel is done with them.
    void CancelAll();

private:
    struct Slot {
        iocb block{};
        std::array<unsigned char, kGadgetHighSpeedPacket> data{};
        bool busy = false;
    };

    long Submit(iocb& block);
    // Waits at most `timeoutMs` (-1: for ever) for completions; their results.
    std::vector<long> Reap(long least, int timeoutMs);

    UniqueFd file_;
    UniqueFd done_;  // eventfd, signalled at each completion
    aio_context_t context_ = 0;
    std::vector<Slot> slots_;
    std::size_t inFlight_ = 0;
};

}  // namespace kpm::sim
