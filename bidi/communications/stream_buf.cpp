#include "bidi/communications/stream_buf.h"

namespace KpBidi {

BasicStreamBuf::BasicStreamBuf(communications::Stream* stream, std::size_t n,
                               const communications::Deadline* deadline)
    : stream_(stream), buffer_(n, 0), deadline_(deadline) {}

BasicStreamBuf::int_type BasicStreamBuf::underflow() {
    if (gptr() < egptr()) {
        return traits_type::to_int_type(*gptr());
    }
    // A printer sending without pause never makes a read wait, so the
    // stream alone could not end it.
    if (deadline_ != nullptr) {
        deadline_->Check();
    }
    bool ok = false;
    const std::int64_t count = stream_->Read(buffer_, ok);
    if (!ok || count <= 0) {
        return traits_type::eof();
    }
    // A transport that claims more than it was given must not move the get
    // area past the buffer.
    const auto size = static_cast<std::size_t>(count) < buffer_.size()
                          ? static_cast<std::size_t>(count)
                          : buffer_.size();
    char* begin = reinterpret_cast<char*>(buffer_.data());
    setg(begin, begin, begin + size);
    return traits_type::to_int_type(*begin);
}

std::span<const unsigned char> BasicStreamBuf::Window() {
    if (gptr() == egptr() && traits_type::eq_int_type(underflow(), traits_type::eof())) {
        return {};
    }
    return {reinterpret_cast<const unsigned char*>(gptr()),
            static_cast<std::size_t>(egptr() - gptr())};
}

void BasicStreamBuf::Consume(std::size_t count) {
    // Never more than the get area holds, which is at most the buffer size.
    setg(eback(), gptr() + count, egptr());
}

BasicInputStream::BasicInputStream(communications::Stream* stream, std::size_t n,
                                   const communications::Deadline* deadline)
    : std::istream(nullptr), buf_(stream, n, deadline) {
    rdbuf(&buf_);
    // Transport exceptions must reach the exchange, not set badbit.
    exceptions(std::ios::badbit);
}

}  // namespace KpBidi
