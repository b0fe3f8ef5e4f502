// A standard input stream over a Stream, so the frame decoders read a
// printer's reply as one continuous byte sequence fetched in chunks.
#pragma once

#include <cstddef>
#include <istream>
#include <span>
#include <streambuf>
#include <vector>

#include "bidi/communications/deadline.h"
#include "bidi/communications/stream.h"

namespace KpBidi {

// Input only; overrides underflow alone. An exception from Stream::Read is
// never turned into end-of-file: it reaches the reader unchanged.
class BasicStreamBuf : public std::streambuf {
public:
    // `stream` must outlive the buffer. The read buffer holds n bytes. With
    // a `deadline` (which must outlive the buffer), no read is started once
    // it has passed: TimeoutException instead.
    BasicStreamBuf(communications::Stream* stream, std::size_t n,
                   const communications::Deadline* deadline = nullptr);

    // The bytes already fetched and not yet consumed, reading from the stream
    // first when there are none; empty at the end of the stream. Lets the
    // decoders scan and copy whole chunks instead of calling sbumpc per byte.
    std::span<const unsigned char> Window();
    // Marks the first `count` bytes of Window() as read.
    void Consume(std::size_t count);

protected:
    int_type underflow() override;

private:
    communications::Stream* stream_;
    std::vector<unsigned char> buffer_;
    const communications::Deadline* deadline_;
};

class BasicInputStream : public std::istream {
public:
    BasicInputStream(communications::Stream* stream, std::size_t n,
                     const communications::Deadline* deadline = nullptr);

    BasicStreamBuf& buffer() noexcept { return buf_; }

private:
    BasicStreamBuf buf_;
};

}  // namespace KpBidi
