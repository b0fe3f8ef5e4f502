#include "bidi/communications/linux/network_stream.h"

#include "bidi/capi/error.h"

namespace KpBidi::communications::linux {

NetworkStream::NetworkStream(std::string host, std::uint16_t port,
                             std::chrono::milliseconds connectTimeout)
    : connection_(std::move(host), port, connectTimeout) {}

bool NetworkStream::Write(const unsigned char* data, std::int32_t length) {
    if (length < 0 || (length > 0 && data == nullptr)) {
        throw Error(InvalidArgument);
    }
    connection_.Send(data, static_cast<std::size_t>(length));
    return true;
}

std::int64_t NetworkStream::Read(std::vector<unsigned char>& buffer, bool& ok) {
    const std::size_t got =
        connection_.Receive(buffer.data(), buffer.size(),
                            deadline_ != nullptr ? deadline_->Limit(kReadTimeout) : kReadTimeout);
    ok = true;
    return static_cast<std::int64_t>(got);
}

}  // namespace KpBidi::communications::linux
