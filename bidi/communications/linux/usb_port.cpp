#include "bidi/communications/linux/usb_port.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <system_error>

#include "bidi/capi/error.h"
#include "bidi/communications/stream.h"

namespace KpBidi::communications::linux {
namespace {

using Clock = std::chrono::steady_clock;

constexpr char kReadTimedOut[] = "UsbPort::Read: timed out while reading from USB port";
constexpr char kReadFailed[] = "UsbPort::Read";
constexpr char kJobNotCompleted[] = "Timeout: job was not completed";

// Waits until `fd` reports one of `events` (or a hang-up or error) or the
// deadline passes. The events seen, 0 at the deadline, -1 with errno when
// poll itself fails.
int WaitUntil(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, left <= 0 ? 0 : (left > INT_MAX ? INT_MAX : int(left)));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return -1;
        }
        if (n > 0) {
            return p.revents;
        }
        if (left <= 0) {
            return 0;
        }
    }
}

}  // namespace

UsbPort::UsbPort(const std::string& path)
    : fd_(::open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)) {
    if (!fd_) {
        if (errno == EBUSY) {
            throw UsbPortBusyException();
        }
        ThrowSystemError(std::error_code(errno, std::generic_category()));
    }
}

bool UsbPort::Write(const unsigned char* data, std::size_t size,
                    std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    // After the last byte, one more wait: the printer may still be taking
    // the final transfer, and only then is the request out.
    for (bool last = size == 0;;) {
        const int events = WaitUntil(fd_.get(), POLLOUT, deadline);
        if (events == 0) {
            throw TimeoutException(kJobNotCompleted);
        }
        if (events < 0 || (events & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            return false;
        }
        if (last) {
            return true;
        }
        const ssize_t n = ::write(fd_.get(), data, size);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
        last = size == 0;
    }
}

std::int64_t UsbPort::Read(std::vector<unsigned char>& buffer, bool& ok,
                           std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const int events = WaitUntil(fd_.get(), POLLIN, deadline);
        if (events == 0) {
            throw Error(Timeout, kReadTimedOut);
        }
        if (events < 0) {
            throw Error(SystemError, kReadFailed);
        }
        const ssize_t n = ::read(fd_.get(), buffer.data(), buffer.size());
        if (n >= 0) {
            ok = true;
            return n;
        }
        const bool retry = errno == EINTR || ((errno == EAGAIN || errno == EWOULDBLOCK) &&
                                              (events & (POLLERR | POLLHUP | POLLNVAL)) == 0);
        if (!retry) {
            throw Error(SystemError, kReadFailed);
        }
        // Woken without data: wait out the rest of the time.
    }
}

}  // namespace KpBidi::communications::linux
