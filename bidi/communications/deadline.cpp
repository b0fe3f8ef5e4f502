#include "bidi/communications/deadline.h"

#include "bidi/communications/stream.h"

namespace KpBidi::communications {

Deadline::Deadline(std::chrono::milliseconds span) noexcept
    : bounded_(true), span_(span), at_(Clock::now() + span) {}

void Deadline::Restart() noexcept {
    if (bounded_) {
        at_ = Clock::now() + span_;
    }
}

bool Deadline::HasPassed() const noexcept {
    return bounded_ && Clock::now() >= at_;
}

std::chrono::milliseconds Deadline::Limit(std::chrono::milliseconds wait) const noexcept {
    if (!bounded_) {
        return wait;
    }
    const Clock::duration left = at_ - Clock::now();
    if (left <= Clock::duration::zero()) {
        return std::chrono::milliseconds{0};
    }
    const auto leftMs = std::chrono::ceil<std::chrono::milliseconds>(left);
    return leftMs < wait ? leftMs : wait;
}

void Deadline::Check() const {
    if (HasPassed()) {
        throw TimeoutException("printer operation took longer than its time limit");
    }
}

}  // namespace KpBidi::communications
