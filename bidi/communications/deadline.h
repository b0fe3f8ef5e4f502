// How long a printer may keep one exchange going in all.
//
// Each read of a transport has its own time-out, so a printer that keeps a
// reply trickling (a byte every few seconds) would otherwise hold its
// caller for as long as it likes. A Deadline bounds every wait of one
// exchange together: the exchange gives it to its stream, which cuts each
// read's (and each write's) wait to what is left, and the input stream
// buffer refuses to read on once it has passed, also from a stream that
// delivers data without ever waiting. Either ends in TimeoutException, which
// the exchange reports as 1005.
//
// A bound on progress rather than on the whole is the same object restarted
// whenever progress is made: the log fetch restarts its deadline on every
// complete log block, so "no block within 30 s" ends the fetch while a long
// log that keeps coming is never cut off.
#pragma once

#include <chrono>

namespace KpBidi::communications {

class Deadline {
public:
    using Clock = std::chrono::steady_clock;

    // Never passes: the transports' own time-outs alone apply.
    Deadline() noexcept = default;
    // Passes `span` from now. A span of zero or less has passed already.
    explicit Deadline(std::chrono::milliseconds span) noexcept;

    // Moves the deadline to `span` from now (nothing for an unbounded one).
    void Restart() noexcept;

    bool IsBounded() const noexcept { return bounded_; }
    bool HasPassed() const noexcept;

    // `wait`, cut to the time left (zero once passed), in whole milliseconds
    // rounded up, so a wait does not end just before the deadline.
    std::chrono::milliseconds Limit(std::chrono::milliseconds wait) const noexcept;

    // Raises TimeoutException once the deadline has passed.
    void Check() const;

private:
    bool bounded_ = false;
    std::chrono::milliseconds span_{0};
    Clock::time_point at_{};
};

}  // namespace KpBidi::communications
