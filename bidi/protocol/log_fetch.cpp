#include "bidi/protocol/log_fetch.h"

#include <map>
#include <memory>
#include <span>
#include <vector>

#include "bidi/capi/error.h"
#include "bidi/protocol/exchange.h"
#include "bidi/protocol/wire.h"

namespace KpBidi {
namespace {

using communications::Connector;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kBlockHeaderSize = 16;

struct ParkedBlock {
    bool last = false;
    std::vector<unsigned char> bytes;
};

class LogAssembler {
public:
    explicit LogAssembler(const Bidi::LogCallback& callback) : callback_(callback) {}

    void OnCommand(const CommandView& command) {
        if (command.code != ReplyCode::LogBlock) {
            return;
        }
        const std::span<const unsigned char> value = command.data;
        if (value.size() < kBlockHeaderSize) {
            throw Error(InvalidResponse);
        }
        const std::uint32_t sequence = wire::GetU32(&value[4]);
        const std::uint64_t size = wire::GetU32(&value[8]);
        const bool last = value[12] != 0;
        if (value.size() < kBlockHeaderSize + size) {
            throw Error(InvalidResponse);
        }
        const unsigned char* bytes = value.data() + kBlockHeaderSize;

        if (sequence != next_) {
            Park(sequence, last, bytes, static_cast<std::size_t>(size));
            return;
        }
        // In order: straight from the stream's buffer, no copy.
        Deliver(bytes, static_cast<std::size_t>(size));
        ++next_;
        if (!last && !Drain()) {
            return;
        }
        finished_ = true;
    }

    bool finished() const { return finished_; }

private:
    void Deliver(const unsigned char* bytes, std::size_t size) {
        if (!stopped_ && !callback_(bytes, size)) {
            stopped_ = true;
        }
    }

    // Delivers parked blocks while the lowest one is next in turn; true when
    // the final block went out.
    bool Drain() {
        while (!pending_.empty() && pending_.begin()->first == next_) {
            const auto lowest = pending_.begin();
            Deliver(lowest->second.bytes.data(), lowest->second.bytes.size());
            ++next_;
            const bool last = lowest->second.last;
            parkedBytes_ -= lowest->second.bytes.size();
            pending_.erase(lowest);
            if (last) {
                return true;
            }
        }
        return false;
    }

    void Park(std::uint32_t sequence, bool last, const unsigned char* bytes, std::size_t size) {
        if (pending_.size() >= kMaxParkedLogBlocks || size > kMaxParkedLogBytes - parkedBytes_) {
            throw Error(InvalidResponse);
        }
        // A multimap inserts after equal keys, keeping repeats in arrival order.
        pending_.emplace(sequence,
                         ParkedBlock{last, std::vector<unsigned char>(bytes, bytes + size)});
        parkedBytes_ += size;
    }

    const Bidi::LogCallback& callback_;
    std::uint32_t next_ = 0;
    bool stopped_ = false;
    bool finished_ = false;
    std::multimap<std::uint32_t, ParkedBlock> pending_;
    std::size_t parkedBytes_ = 0;
};

}  // namespace

void Bidi::FetchLog(const LogCallback& callback, Clock::duration blockWait) {
    const std::uint32_t id = MakePacketId();
    const std::unique_ptr<Connector> connector = printer_->CreateConnector();
    Packet request = MakeRequest(id);
    AddCommand(request, CommandCode::FetchLog, std::vector<unsigned char>(8, 0));

    LogAssembler assembler(callback);
    // Bounds progress, not the whole: a long log that keeps coming is never
    // cut off, a printer that stops delivering whole blocks is.
    communications::Deadline deadline(
        std::chrono::duration_cast<std::chrono::milliseconds>(blockWait));
    ExchangeStreaming(
        *connector, request,
        [&](const CommandView& command) {
            assembler.OnCommand(command);
            if (command.code == ReplyCode::LogBlock) {
                deadline.Restart();
            }
        },
        deadline);
    if (!assembler.finished()) {
        throw Error(InvalidResponse);
    }
}

}  // namespace KpBidi
