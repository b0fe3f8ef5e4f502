// Removing a half-written file when the process is ended by a signal:
// Ctrl+C (SIGINT), kill (SIGTERM), a closed terminal or SSH session (SIGHUP)
// and Ctrl+\ (SIGQUIT). Without it such an end leaves the file behind.
#pragma once

namespace platform {

// While it lives, one of those signals first removes the file `name` of the
// folder open as `folder`, then ends the process: with `exitStatus` when it
// is 0 or more, else by the signal itself (as if nothing had caught it).
// Only signals at their default action are taken: one the process ignores
// (nohup) stays ignored, one it handles itself stays its own. The handler
// makes async-signal-safe calls only and may run on any thread. One
// cleanup at a time per process: a second throws std::logic_error.
class SignalCleanup {
public:
    SignalCleanup(int folder, const char* name, int exitStatus = -1);
    ~SignalCleanup();
    SignalCleanup(const SignalCleanup&) = delete;
    SignalCleanup& operator=(const SignalCleanup&) = delete;

    // The file is no longer ours to remove (renamed into place, or removed).
    void Disarm() noexcept;

private:
    bool armed_ = false;
};

}  // namespace platform
