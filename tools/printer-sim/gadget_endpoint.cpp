#include "tools/printer-sim/gadget_endpoint.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
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

[[noreturn]] void Fail(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

GadgetEndpoint::GadgetEndpoint(const std::string& path)
    : file_(::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC)),
      done_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (!file_) {
        Fail(("open " + path).c_str());
    }
    if (!done_) {
        Fail("eventfd");
    }
    if (IoSetup(1, &context_) != 0) {
        Fail("io_setup");
    }
}

GadgetEndpoint::~GadgetEndpoint() {
    // Waits for anything still in flight.
    IoDestroy(context_);
}

long GadgetEndpoint::Read(unsigned char* data, std::size_t size, const StopSignal& stop) {
    return Transfer(IOCB_CMD_PREAD, data, size, stop);
}

long GadgetEndpoint::Write(const unsigned char* data, std::size_t size, const StopSignal& stop) {
    return Transfer(IOCB_CMD_PWRITE, data, size, stop);
}

long GadgetEndpoint::Reap(int timeoutMs) {
    io_event event{};
    timespec timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000000L};
    long n;
    do {
        n = IoGetEvents(context_, 1, 1, &event, timeoutMs < 0 ? nullptr : &timeout);
    } while (n < 0 && errno == EINTR);
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t ignored = ::read(done_.get(), &count, sizeof count);
    if (n != 1) {
        return -ETIMEDOUT;
    }
    return static_cast<long>(event.res);
}

long GadgetEndpoint::Transfer(unsigned opcode, const unsigned char* data, std::size_t size,
                              const StopSignal& stop) {
    if (stop.raised()) {
        throw Stopped{};
    }
    iocb block{};
    block.aio_lio_opcode = static_cast<std::uint16_t>(opcode);
    block.aio_fildes = static_cast<std::uint32_t>(file_.get());
    block.aio_buf = reinterpret_cast<std::uint64_t>(data);
    block.aio_nbytes = size;
    block.aio_flags = IOCB_FLAG_RESFD;
    block.aio_resfd = static_cast<std::uint32_t>(done_.get());
    iocb* blocks[1] = {&block};
    if (IoSubmit(context_, 1, blocks) != 1) {
        // A function that is not enabled refuses at once (EAGAIN, as the
        // file is non-blocking), instead of waiting for the host.
        return -errno;
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
            return Reap(-1);
        }
        if (fds[1].revents != 0) {
            break;
        }
    }
    // Given up: cancel, and wait until the kernel is done with the buffer.
    // FunctionFS can cancel every transfer; the kernel then delivers its
    // completion like any other.
    io_event result{};
    IoCancel(context_, &block, &result);
    Reap(2000);
    throw Stopped{};
}

}  // namespace kpm::sim
