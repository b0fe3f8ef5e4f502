// In-memory stand-ins for a printer's transport: a stream that plays a
// script of read results, and a connector that hands such streams out.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "bidi/capi/error.h"
#include "bidi/communications/connector.h"
#include "bidi/communications/stream.h"

namespace kpm::test {

using Bytes = std::vector<unsigned char>;

// What one Read of a ScriptedStream does.
struct ReadStep {
    enum Kind { Data, End, TimesOut, ThrowsError, ThrowsPlain } kind = Data;
    Bytes bytes;  // Data: handed out, split over several reads if larger than the buffer

    static ReadStep Chunk(Bytes b) { return {Data, std::move(b)}; }
    static ReadStep Eof() { return {End, {}}; }
    static ReadStep Timeout() { return {TimesOut, {}}; }
    static ReadStep LibraryError() { return {ThrowsError, {}}; }
    static ReadStep PlainError() { return {ThrowsPlain, {}}; }
};

class ScriptedStream : public KpBidi::communications::Stream {
public:
    explicit ScriptedStream(std::deque<ReadStep> script, bool acceptWrite = true)
        : script_(std::move(script)), acceptWrite_(acceptWrite) {}

    // Every byte `all` in chunks of at most `chunk` bytes, then the end.
    static std::unique_ptr<ScriptedStream> Chunked(const Bytes& all, std::size_t chunk);

    bool Write(const unsigned char* data, std::int32_t length) override {
        writes.emplace_back(data, data + length);
        return acceptWrite_;
    }

    std::int64_t Read(std::vector<unsigned char>& buffer, bool& ok) override {
        ++reads;
        lastBufferSize = buffer.size();
        if (script_.empty()) {
            ok = true;
            return 0;
        }
        ReadStep& step = script_.front();
        switch (step.kind) {
            case ReadStep::TimesOut:
                script_.pop_front();
                throw KpBidi::communications::TimeoutException("network timeout");
            case ReadStep::ThrowsError:
                script_.pop_front();
                throw KpBidi::Error(KpBidi::CommunicationError, "scripted failure");
            case ReadStep::ThrowsPlain:
                script_.pop_front();
                throw std::runtime_error("Connection::Recieve");
            case ReadStep::End:
                script_.pop_front();
                ok = true;
                return 0;
            case ReadStep::Data:
                break;
        }
        std::this_thread::sleep_for(pauseBeforeData);
        const std::size_t n = std::min(buffer.size(), step.bytes.size());
        std::memcpy(buffer.data(), step.bytes.data(), n);
        step.bytes.erase(step.bytes.begin(), step.bytes.begin() + static_cast<std::ptrdiff_t>(n));
        if (step.bytes.empty()) {
            script_.pop_front();
        }
        ok = true;
        largestRead = std::max(largestRead, n);
        return static_cast<std::int64_t>(n);
    }

    // A slow printer: each read that hands out data waits this long first.
    std::chrono::milliseconds pauseBeforeData{0};
    std::vector<Bytes> writes;
    std::size_t reads = 0;
    std::size_t largestRead = 0;
    std::size_t lastBufferSize = 0;

private:
    std::deque<ReadStep> script_;
    bool acceptWrite_;
};

// A stream that answers what is written to it: `answer` turns the request's
// bytes into the script of reads that follow (nothing to read before).
class AnsweringStream : public KpBidi::communications::Stream {
public:
    using Answer = std::function<std::deque<ReadStep>(const Bytes& request)>;

    // `pause`: a slow printer, as ScriptedStream::pauseBeforeData.
    explicit AnsweringStream(Answer answer, std::chrono::milliseconds pause = {})
        : answer_(std::move(answer)), pause_(pause) {}

    bool Write(const unsigned char* data, std::int32_t length) override {
        inner_ = std::make_unique<ScriptedStream>(answer_(Bytes(data, data + length)));
        inner_->pauseBeforeData = pause_;
        return true;
    }

    std::int64_t Read(std::vector<unsigned char>& buffer, bool& ok) override {
        if (!inner_) {
            ok = true;
            return 0;
        }
        return inner_->Read(buffer, ok);
    }

private:
    Answer answer_;
    std::chrono::milliseconds pause_;
    std::unique_ptr<ScriptedStream> inner_;
};

// Every byte of `all` in chunks of at most `chunk` bytes.
inline std::deque<ReadStep> ChunkedSteps(const Bytes& all, std::size_t chunk) {
    std::deque<ReadStep> script;
    for (std::size_t i = 0; i < all.size(); i += chunk) {
        const std::size_t n = std::min(chunk, all.size() - i);
        script.push_back(ReadStep::Chunk(Bytes(all.begin() + i, all.begin() + i + n)));
    }
    return script;
}

// A connector whose streams come from a factory; records what was asked.
class ScriptedConnector : public KpBidi::communications::Connector {
public:
    using Factory = std::function<std::unique_ptr<KpBidi::communications::Stream>()>;

    ScriptedConnector(int protocol, Factory factory)
        : protocol_(protocol), factory_(std::move(factory)) {}

    std::string GetDeviceId() override { return deviceId; }

    std::unique_ptr<KpBidi::communications::Stream> OpenUsbStream() override {
        ++usbOpens;
        if (busy) {
            throw KpBidi::communications::UsbPortBusyException();
        }
        return factory_();
    }

    std::unique_ptr<KpBidi::communications::Stream> OpenNetworkStream(int port) override {
        ++networkOpens;
        lastPort = port;
        return factory_();
    }

    bool IsAvailable() override { return available; }
    int GetProtocolType() override { return protocol_; }
    std::size_t GetPreferredReadSize() override { return preferredReadSize; }

    bool available = true;
    bool busy = false;
    std::size_t preferredReadSize = 0;
    std::string deviceId;
    int usbOpens = 0;
    int networkOpens = 0;
    int lastPort = 0;

private:
    int protocol_;
    Factory factory_;
};

inline std::unique_ptr<ScriptedStream> ScriptedStream::Chunked(const Bytes& all,
                                                               std::size_t chunk) {
    return std::make_unique<ScriptedStream>(ChunkedSteps(all, chunk));
}

}  // namespace kpm::test
