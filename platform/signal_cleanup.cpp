#include "platform/signal_cleanup.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>
#include <cstring>
#include <stdexcept>

namespace platform {
namespace {

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr std::size_t kSignalCount = sizeof kEndingSignals / sizeof kEndingSignals[0];

static_assert(std::atomic<bool>::is_always_lock_free, "the handler reads it");

// What the handler needs, set before the handlers are installed: a signal
// handler can reach nothing else. One cleanup at a time holds them.
std::atomic<bool> gInUse{false};
std::atomic<bool> gArmed{false};
int gFolder = -1;
char gName[NAME_MAX + 1];
int gExitStatus = -1;
struct sigaction gOldActions[kSignalCount];
bool gTaken[kSignalCount];

extern "C" void OnEndingSignal(int signal) {
    if (gArmed.load()) {
        unlinkat(gFolder, gName, 0);
    }
    if (gExitStatus >= 0) {
        _exit(gExitStatus);
    }
    // End as the signal would have ended us: it is blocked while this runs,
    // so it arrives again, at its default action, when the handler returns.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal);
}

}  // namespace

SignalCleanup::SignalCleanup(int folder, const char* name, int exitStatus) {
    if (std::strlen(name) > NAME_MAX) {
        throw std::logic_error("SignalCleanup: name too long");
    }
    if (gInUse.exchange(true)) {
        throw std::logic_error("SignalCleanup: one at a time");
    }
    gFolder = folder;
    std::memcpy(gName, name, std::strlen(name) + 1);
    gExitStatus = exitStatus;
    gArmed = true;
    armed_ = true;

    struct sigaction action {};
    action.sa_handler = OnEndingSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : kEndingSignals) {
        sigaddset(&action.sa_mask, signal);
    }
    for (std::size_t i = 0; i < kSignalCount; ++i) {
        gTaken[i] = false;
        struct sigaction current {};
        if (sigaction(kEndingSignals[i], nullptr, &current) != 0 ||
            (current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler != SIG_DFL) {
            continue;
        }
        gTaken[i] = sigaction(kEndingSignals[i], &action, &gOldActions[i]) == 0;
    }
}

SignalCleanup::~SignalCleanup() {
    Disarm();
    for (std::size_t i = 0; i < kSignalCount; ++i) {
        if (gTaken[i]) {
            sigaction(kEndingSignals[i], &gOldActions[i], nullptr);
        }
    }
    gInUse = false;
}

void SignalCleanup::Disarm() noexcept {
    if (armed_) {
        gArmed = false;
        armed_ = false;
    }
}

}  // namespace platform
