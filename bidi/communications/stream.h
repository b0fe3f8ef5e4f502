// One open channel to a printer, and the two transport exceptions.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

namespace KpBidi::communications {

class Deadline;

// Destroying a stream closes the channel and releases every handle, lock
// and socket it holds.
class Stream {
public:
    virtual ~Stream() = default;

    // Hands the whole block to the printer in one transport operation.
    // false: the transport refused to start; every other failure throws.
    virtual bool Write(const unsigned char* data, std::int32_t length) = 0;

    // Reads at most buffer.size() bytes into the buffer's start and sets `ok`
    // to true; 0 means the peer has nothing more. Never resizes the buffer.
    // A time-out or an I/O failure throws, never answers a false `ok`.
    virtual std::int64_t Read(std::vector<unsigned char>& buffer, bool& ok) = 0;

    // Bounds the waits of every later Write and Read by `deadline` as well as
    // by the transport's own time-outs (see deadline.h); null lifts the
    // bound. The deadline must outlive the stream or be lifted first. A
    // stream that never waits long may ignore it: the input stream buffer
    // checks the deadline before every read anyway.
    virtual void SetDeadline(const Deadline* /*deadline*/) noexcept {}

    Stream() = default;
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;
};

// The printer did not answer, or did not take a job, in time.
class TimeoutException : public std::exception {
public:
    explicit TimeoutException(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// Another program or print job holds the USB printer.
class UsbPortBusyException : public std::exception {
public:
    const char* what() const noexcept override { return "USB port busy"; }
};

}  // namespace KpBidi::communications
