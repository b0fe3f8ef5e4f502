// Streaming the printer's log to a consumer, block by block, in order.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "bidi/protocol/printer.h"

namespace KpBidi {

// Blocks that arrive before their turn are parked; a printer that keeps
// sending early blocks could otherwise grow the parked list without end. A
// real log is a few megabytes, so this is far above anything legitimate.
inline constexpr std::size_t kMaxParkedLogBytes = std::size_t{256} << 20;
inline constexpr std::size_t kMaxParkedLogBlocks = std::size_t{1} << 20;

// Each read of the reply waits only so long, but a printer that keeps
// trickling bytes never lets a read time out. The fetch therefore ends with
// Error(Timeout) when no whole log block has arrived for this long (counted
// from the request, then from the last whole block). The bound is checked
// before every read, so it ends at most one read's wait later.
inline constexpr std::chrono::milliseconds kLogBlockWait{30'000};

class Bidi {
public:
    using LogCallback = std::function<bool(const unsigned char* data, std::size_t size)>;

    explicit Bidi(Printer& printer) : printer_(&printer) {}

    // Calls `callback` once per log block, in sequence order, while the reply
    // is read; the pointer is valid only during the call. A false answer
    // stops the deliveries but not the reading, so the channel is left
    // clean. Raises Error(InvalidResponse) when the final block was never
    // delivered (missing, or behind a gap), Error(Timeout) when no whole
    // block arrived within `blockWait` (see kLogBlockWait).
    void FetchLog(const LogCallback& callback,
                  std::chrono::steady_clock::duration blockWait = kLogBlockWait);

private:
    Printer* printer_;
};

}  // namespace KpBidi
