// A printer's TCP channel: one request out with one write, the reply read
// with a ten-second wait per read.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "bidi/communications/deadline.h"
#include "bidi/communications/linux/connection.h"
#include "bidi/communications/stream.h"

namespace KpBidi::communications::linux {

class NetworkStream : public Stream {
public:
    static constexpr std::chrono::milliseconds kReadTimeout{10'000};

    // Connects or throws (see Connection).
    NetworkStream(std::string host, std::uint16_t port,
                  std::chrono::milliseconds connectTimeout = Connection::kConnectTimeout);

    // true once the socket took the whole block; failure -> Error 1011
    // "Connection::Send". A negative length is refused with Error 1000.
    bool Write(const unsigned char* data, std::int32_t length) override;

    // Waits up to kReadTimeout (less where the deadline comes first), then
    // receives at most buffer.size() bytes. 0 with ok true: the printer
    // closed the connection.
    std::int64_t Read(std::vector<unsigned char>& buffer, bool& ok) override;

    void SetDeadline(const Deadline* deadline) noexcept override { deadline_ = deadline; }

private:
    Connection connection_;
    const Deadline* deadline_ = nullptr;
};

}  // namespace KpBidi::communications::linux
