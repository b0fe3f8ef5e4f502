#include "tools/printer-sim/session.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <system_error>
#include <thread>

#include "bidi/capi/error.h"
#include "bidi/communications/stream.h"
#include "bidi/communications/stream_buf.h"
#include "bidi/protocol/decode.h"
#include "bidi/protocol/wire.h"
#include "tools/printer-sim/packet_writer.h"

namespace kpm::sim {
namespace {

using KpBidi::communications::TimeoutException;

// A print job's packet header (requests of the command protocol carry
// subkind 0x43).
constexpr std::uint8_t kJobKind = 0x0C;
constexpr std::uint8_t kJobSubkind = 0x50;

// More bytes than a session may take.
struct TooMuchInput {};

// The library's stream interface over a descriptor, so its frame decoders
// can read requests: waits at most `idle` per read, gives up on stop, and
// refuses to read past `limit` bytes in all.
class FdStream : public KpBidi::communications::Stream {
public:
    FdStream(int fd, const StopSignal& stop, std::chrono::milliseconds idle, std::uint64_t limit)
        : fd_(fd), stop_(stop), idle_(idle), limit_(limit) {}

    bool Write(const unsigned char* data, std::int32_t length) override {
        WriteAll(fd_, data, static_cast<std::size_t>(length), stop_);
        return true;
    }

    std::int64_t Read(std::vector<unsigned char>& buffer, bool& ok) override {
        if (total_ - base_ >= limit_) {
            throw TooMuchInput{};
        }
        if (!WaitReadable(fd_, stop_, idle_)) {
            throw TimeoutException("idle peer");
        }
        const std::size_t want = static_cast<std::size_t>(
            std::min<std::uint64_t>(buffer.size(), limit_ - (total_ - base_)));
        ssize_t n;
        do {
            n = ::read(fd_, buffer.data(), want);
        } while (n < 0 && errno == EINTR);
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                ok = true;
                return Read(buffer, ok);
            }
            // A reset connection or a hung-up device is simply the end.
            ok = true;
            return 0;
        }
        total_ += static_cast<std::uint64_t>(n);
        sawData_ = sawData_ || std::any_of(buffer.begin(), buffer.begin() + n,
                                           [](unsigned char b) { return b != 0; });
        ok = true;
        return n;
    }

    std::uint64_t total() const noexcept { return total_; }
    // Counts the limit (and counted()) from here on.
    void StartCounting() noexcept {
        base_ = total_;
        sawData_ = false;
    }
    std::uint64_t counted() const noexcept { return total_ - base_; }
    // Whether anything but zero bytes (a packet's padding) came since.
    bool sawData() const noexcept { return sawData_; }

private:
    int fd_;
    const StopSignal& stop_;
    std::chrono::milliseconds idle_;
    std::uint64_t limit_;
    std::uint64_t total_ = 0;
    std::uint64_t base_ = 0;
    bool sawData_ = false;
};

// Buffers the packet writer's small pieces into large writes, or hands them
// out in drips.
class FdSink : public ByteSink {
public:
    FdSink(int fd, const StopSignal& stop,
           std::optional<std::pair<std::uint32_t, std::uint32_t>> drip)
        : fd_(fd), stop_(stop), drip_(drip) {
        buffer_.reserve(kBufferSize);
    }

    void Write(const unsigned char* data, std::size_t size) override {
        while (size > 0) {
            const std::size_t take = std::min(size, kBufferSize - buffer_.size());
            buffer_.insert(buffer_.end(), data, data + take);
            data += take;
            size -= take;
            if (buffer_.size() == kBufferSize) {
                Flush();
            }
        }
    }

    void Flush() {
        if (!drip_) {
            WriteAll(fd_, buffer_.data(), buffer_.size(), stop_);
            buffer_.clear();
            return;
        }
        const auto [bytes, ms] = *drip_;
        for (std::size_t at = 0; at < buffer_.size(); at += bytes) {
            if (started_ && WaitReadable(stop_.fd(), stop_, std::chrono::milliseconds(ms))) {
                throw Stopped{};
            }
            started_ = true;
            WriteAll(fd_, buffer_.data() + at, std::min<std::size_t>(bytes, buffer_.size() - at),
                     stop_);
        }
        buffer_.clear();
    }

private:
    static constexpr std::size_t kBufferSize = 256 * 1024;

    int fd_;
    const StopSignal& stop_;
    std::optional<std::pair<std::uint32_t, std::uint32_t>> drip_;
    std::vector<unsigned char> buffer_;
    bool started_ = false;
};

void WriteEnvelopeHeader(ByteSink& sink, std::uint64_t payloadSize) {
    const auto m = static_cast<std::uint32_t>(std::min<std::uint64_t>(payloadSize, UINT32_MAX));
    unsigned char header[KpBidi::wire::kEnvelopeHeaderSize] = {KpBidi::wire::kEnvelopeTag,
                                                               KpBidi::wire::kEnvelopeTag};
    KpBidi::wire::SetU32(header + 4, m);
    sink.Write(header, sizeof header);
}

// Hands our side of the conversation over cleanly: no more sending, then
// whatever the peer still sends is read and dropped for a moment, so closing
// does not reset a connection whose reply the peer has not read yet.
void Finish(int fd, const StopSignal& stop) {
    ::shutdown(fd, SHUT_WR);
    std::array<unsigned char, 4096> scratch;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    while (std::chrono::steady_clock::now() < deadline) {
        if (!WaitReadable(fd, stop, std::chrono::milliseconds(100))) {
            continue;
        }
        const ssize_t n = ::recv(fd, scratch.data(), scratch.size(), MSG_DONTWAIT);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
            return;
        }
    }
}

// Keeps the line open, reading and dropping input, until the peer closes,
// the simulator stops or the limit passes.
void StaySilent(int fd, const StopSignal& stop, std::chrono::milliseconds limit) {
    std::array<unsigned char, 4096> scratch;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (!WaitReadable(fd, stop, std::chrono::milliseconds(200))) {
            continue;
        }
        const ssize_t n = ::recv(fd, scratch.data(), scratch.size(), MSG_DONTWAIT);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
            return;
        }
    }
}

bool IsPrintJob(const KpBidi::Packet& packet) {
    return packet.header.kind == kJobKind && packet.header.subkind == kJobSubkind;
}

std::string TextOf(const KpBidi::PacketCommand& command) {
    return std::string(command.data.begin(),
                       std::find(command.data.begin(), command.data.end(), 0));
}

// What a job packet says about itself: its title (command 34) and platen
// size (command 52).
JobRecord JobOf(const KpBidi::Packet& packet, std::uint64_t size) {
    JobRecord job;
    job.decoded = true;
    job.kind = packet.header.kind;
    job.subkind = packet.header.subkind;
    job.size = size;
    for (const KpBidi::PacketCommand& c : packet.commands) {
        if (c.code == 34 && job.title.empty()) {
            job.title = TextOf(c);
        } else if (c.code == 52 && job.platen.empty()) {
            job.platen = TextOf(c);
        }
    }
    return job;
}

std::string Describe(std::uint64_t bytes) {
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

}  // namespace

void WriteResponse(int fd, const Response& response, Framing framing, const StopSignal& stop) {
    FdSink sink(fd, stop, response.drip);
    for (const std::vector<OutPacket>& payload : response.payloads) {
        if (framing == Framing::Envelope) {
            std::uint64_t size = 0;
            for (const OutPacket& p : payload) {
                size += PacketSize(p);
            }
            WriteEnvelopeHeader(sink, size);
        }
        for (const OutPacket& p : payload) {
            WritePacket(p, sink);
        }
    }
    sink.Flush();
}

void ServeNetworkConnection(Printer& printer, UniqueFd connection, const StopSignal& stop,
                            const SessionLimits& limits) {
    const int fd = connection.get();
    FdStream stream(
        fd, stop, limits.idle,
        std::uint64_t{limits.maxRequestBytes} + KpBidi::wire::kEnvelopeHeaderSize + 64 * 1024);
    try {
        KpBidi::BasicInputStream input(&stream, 64 * 1024);
        std::uint32_t length = 0;
        try {
            length = KpBidi::ReadNetworkEnvelopeHeader(input);
        } catch (const KpBidi::Error&) {
            if (stream.total() > 0) {
                printer.RecordMalformed("protocol port: " + Describe(stream.total()) +
                                        " without a complete envelope header");
            }
            return;
        }
        if (length > limits.maxRequestBytes) {
            printer.RecordMalformed("protocol port: envelope announces " + Describe(length) +
                                    ", more than a request can be; connection closed");
            return;
        }
        std::vector<unsigned char> payload;
        payload.reserve(length);
        auto& buf = input.buffer();
        while (payload.size() < length) {
            const auto window = buf.Window();
            if (window.empty()) {
                printer.RecordMalformed("protocol port: envelope of " + Describe(length) +
                                        " ended after " + Describe(payload.size()));
                return;
            }
            const std::size_t take = std::min<std::size_t>(length - payload.size(), window.size());
            payload.insert(payload.end(), window.begin(), window.begin() + take);
            buf.Consume(take);
        }
        const std::vector<KpBidi::Packet> packets = KpBidi::DecodeNetworkPayload(payload);
        if (packets.empty()) {
            printer.RecordMalformed("protocol port: envelope of " + Describe(length) +
                                    " holds no packet");
            return;
        }
        const Response response = printer.Handle(packets.front());
        WriteResponse(fd, response, Framing::Envelope, stop);
        if (response.ending == Response::Ending::Silence) {
            StaySilent(fd, stop, limits.silenceLimit);
            return;
        }
        Finish(fd, stop);
    } catch (const TimeoutException&) {
        printer.RecordMalformed("protocol port: peer idle after " + Describe(stream.total()) +
                                "; connection closed");
    } catch (const TooMuchInput&) {
        printer.RecordMalformed("protocol port: more than " + Describe(stream.total()) +
                                " without a request; connection closed");
    } catch (const Stopped&) {
    } catch (const std::exception&) {
        // The peer went away while the reply was written: its business.
    }
}

void ServeRawStream(Printer& printer, int fd, const StopSignal& stop, const SessionLimits& limits) {
    ServeRawStream(printer, fd, fd, stop, limits);
}

void ServeRawStream(Printer& printer, int in, int out, const StopSignal& stop,
                    const SessionLimits& limits) {
    try {
        // One stream for the whole session: its buffer may already hold the
        // start of the next request.
        FdStream stream(in, stop, std::chrono::hours(24 * 365), limits.maxRequestBytes);
        KpBidi::BasicInputStream input(&stream, 4096);
        for (;;) {
            stream.StartCounting();
            KpBidi::Packet request;
            try {
                request = KpBidi::ReadPacket(input);
            } catch (const KpBidi::Error&) {
                if (input.buffer().Window().empty()) {
                    // Zeros after the last packet are its padding.
                    if (stream.sawData()) {
                        printer.RecordMalformed("raw stream: ended inside a packet");
                    }
                    return;
                }
                printer.RecordMalformed("raw stream: " + Describe(stream.counted()) +
                                        " without a well-formed packet");
                continue;
            } catch (const TooMuchInput&) {
                printer.RecordMalformed("raw stream: more than " + Describe(stream.counted()) +
                                        " without a request");
                continue;
            }
            if (IsPrintJob(request)) {
                // On USB a print job arrives on the same line as requests.
                // Its size: the bytes read while it arrived (the last read
                // may reach a little into what follows).
                printer.ReceiveJob(JobOf(request, stream.counted()));
                continue;
            }
            const Response response = printer.Handle(request);
            // Silence and close both mean no answer here: a raw stream has
            // no connection of its own to close.
            WriteResponse(out, response, Framing::Raw, stop);
        }
    } catch (const Stopped&) {
    } catch (const std::exception&) {
    }
}

void ServeJobConnection(Printer& printer, UniqueFd connection, const StopSignal& stop,
                        const SessionLimits& limits) {
    const int fd = connection.get();
    FdStream stream(fd, stop, limits.idle, limits.maxJobBytes);
    JobRecord job;
    bool complete = true;
    try {
        KpBidi::BasicInputStream input(&stream, 64 * 1024);
        try {
            // A job is one packet of job commands; anything after it is
            // padding (or more packets, whose titles do not matter).
            for (;;) {
                const KpBidi::Packet packet = KpBidi::ReadPacket(input);
                if (!job.decoded) {
                    job = JobOf(packet, 0);
                }
            }
        } catch (const KpBidi::Error&) {
            // The end of the job data, or bytes that are no packet: the rest
            // of the job is taken without looking.
        }
        auto& buf = input.buffer();
        while (!buf.Window().empty()) {
            buf.Consume(buf.Window().size());
        }
    } catch (const TimeoutException&) {
        // A sender that keeps the line open after its job is done.
        complete = job.decoded;
    } catch (const TooMuchInput&) {
        complete = false;
    } catch (const Stopped&) {
        return;
    } catch (const std::exception&) {
        complete = false;
    }
    if (stream.total() == 0) {
        return;  // a connection test, not a job
    }
    job.size = stream.total();
    if (!complete) {
        printer.RecordMalformed("job port: job abandoned after " + Describe(job.size));
        return;
    }
    printer.ReceiveJob(std::move(job));
    try {
        Finish(fd, stop);
    } catch (const Stopped&) {
    }
}

}  // namespace kpm::sim
