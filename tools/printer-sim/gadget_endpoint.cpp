#include "tools/printer-sim/gadget_endpoint.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <system_error>

namespace kpm::sim {
namespace {

// glibc has no wrappers for the kernel's own AIO calls.
long IoSetup(unsigned count, aio_context_t* context) {
    return ::syscall(SYS_io_setup, count, context);
}
long IoDestroy(aio_context_t context) {
    return ::syscall(SYS_io_destroy, context);
}
long IoSubmit(aio_context_t context, long count, iocb** blocks) {
    return ::syscall(SYS_io_submit, context, count, blocks);
}
long IoCancel(aio_context_t context, iocb* block, io_event* result) {
    return ::syscall(SYS_io_cancel, context, block, result);
}
long IoGetEvents(aio_context_t context, long least, long most, io_event* events,
                 timespec* timeout) {
    return ::syscall(SYS_io_getevents, context, least, most, events, timeout);
}

[[noreturn]] void Fail(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

// Marks a slot's transfer in its block, to find the slot on completion.
constexpr std::uint64_t kReadMark = ~std::uint64_t{0};

}  // namespace

GadgetEndpoint::GadgetEndpoint(const std::string& path, std::size_t depth)
    : file_(::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC)),
      done_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)),
      slots_(std::max<std::size_t>(depth, 1)) {
    if (!file_) {
        Fail("open " + path);
    }
    if (!done_) {
        Fail("eventfd");
    }
    // One more than the slots: a read.
    if (IoSetup(static_cast<unsigned>(slots_.size() + 1), &context_) != 0) {
        Fail("io_setup");
    }
}

GadgetEndpoint::~GadgetEndpoint() {
    CancelAll();
    IoDestroy(context_);
}

long GadgetEndpoint::Submit(iocb& block) {
    block.aio_fildes = static_cast<std::uint32_t>(file_.get());
    block.aio_flags = IOCB_FLAG_RESFD;
    block.aio_resfd = static_cast<std::uint32_t>(done_.get());
    iocb* blocks[1] = {&block};
    // A function that is not enabled refuses at once (EAGAIN, as the file is
    // non-blocking), instead of waiting for the host.
    return IoSubmit(context_, 1, blocks) == 1 ? 0 : -errno;
}

std::vector<long> GadgetEndpoint::Reap(long least, int timeoutMs) {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t ignored = ::read(done_.get(), &count, sizeof count);
    std::vector<io_event> events(slots_.size() + 1);
    timespec timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000000L};
    long n;
    do {
        n = IoGetEvents(context_, least, static_cast<long>(events.size()), events.data(),
                        timeoutMs < 0 ? nullptr : &timeout);
    } while (n < 0 && errno == EINTR);
    std::vector<long> results;
    for (long i = 0; i < n; ++i) {
        const io_event& e = events[static_cast<std::size_t>(i)];
        if (e.data != kReadMark && e.data < slots_.size()) {
            slots_[e.data].busy = false;
            --inFlight_;
        }
        results.push_back(static_cast<long>(e.res));
    }
    return results;
}

long GadgetEndpoint::Read(unsigned char* data, std::size_t size, const StopSignal& stop) {
    if (stop.raised()) {
        throw Stopped{};
    }
    iocb block{};
    block.aio_lio_opcode = IOCB_CMD_PREAD;
    block.aio_buf = reinterpret_cast<std::uint64_t>(data);
    block.aio_nbytes = size;
    block.aio_data = kReadMark;
    if (const long error = Submit(block); error != 0) {
        return error;
    }
    for (;;) {
        pollfd fds[2] = {{done_.get(), POLLIN, 0}, {stop.fd(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        if (fds[0].revents != 0) {
            const std::vector<long> results = Reap(1, -1);
            return results.empty() ? -EIO : results.front();
        }
        if (fds[1].revents != 0) {
            break;
        }
    }
    // Given up: FunctionFS cancels any transfer, and then delivers its
    // completion like any other.
    io_event result{};
    IoCancel(context_, &block, &result);
    Reap(1, 2000);
    throw Stopped{};
}

long GadgetEndpoint::Queue(const unsigned char* data, std::size_t size) {
    const auto free =
        std::find_if(slots_.begin(), slots_.end(), [](const Slot& s) { return !s.busy; });
    if (free == slots_.end() || size > free->data.size()) {
        return -ENOBUFS;
    }
    std::memcpy(free->data.data(), data, size);
    free->block = iocb{};
    free->block.aio_lio_opcode = IOCB_CMD_PWRITE;
    free->block.aio_buf = reinterpret_cast<std::uint64_t>(free->data.data());
    free->block.aio_nbytes = size;
    free->block.aio_data = static_cast<std::uint64_t>(free - slots_.begin());
    const long error = Submit(free->block);
    if (error == 0) {
        free->busy = true;
        ++inFlight_;
    }
    return error;
}

long GadgetEndpoint::Collect() {
    long failure = 0;
    for (const long result : Reap(0, 0)) {
        if (result < 0 && failure == 0) {
            failure = result;
        }
    }
    return failure;
}

void GadgetEndpoint::CancelAll() {
    for (Slot& slot : slots_) {
        if (slot.busy) {
            io_event result{};
            IoCancel(context_, &slot.block, &result);
        }
    }
    while (inFlight_ > 0) {
        if (Reap(1, 2000).empty()) {
            break;  // the kernel keeps them; io_destroy waits for them
        }
    }
}

}  // namespace kpm::sim
