// A lock with a name, shared by every process of the user: the stand-in for
// a named kernel mutex. It is an flock(2) lock on a file of that name in the
// user's runtime directory, so it goes away with its holder, also when the
// holder crashes.
#pragma once

#include <chrono>
#include <string>
#include <system_error>

namespace platform {

class NamedLock {
public:
    enum class Result {
        Acquired,       // this process holds the lock now
        HeldElsewhere,  // another open lock file holds it (another process)
        Failed,         // the lock file could not be created or locked
    };

    NamedLock() = default;
    NamedLock(NamedLock&& other) noexcept;
    NamedLock& operator=(NamedLock&& other) noexcept;
    NamedLock(const NamedLock&) = delete;
    NamedLock& operator=(const NamedLock&) = delete;
    ~NamedLock();

    // Tries once, without waiting. `error` receives the reason of Failed.
    Result TryAcquire(const std::string& name, std::error_code& error);

    // Waits at most `wait` for the lock: HeldElsewhere when its holder kept
    // it that long. flock(2) has no time-out of its own, so the lock is
    // tried again every few milliseconds.
    Result Acquire(const std::string& name, std::chrono::milliseconds wait, std::error_code& error);

    bool IsHeld() const noexcept { return fd_ >= 0; }
    const std::string& Path() const noexcept { return path_; }

private:
    int OpenLockFile(const std::string& name, std::string& path, std::error_code& error);

    int fd_ = -1;
    std::string path_;
};

// The folder that holds the lock files: $XDG_RUNTIME_DIR when it is set to an
// absolute path, else /run/user/<uid> when that exists, else a private folder
// /tmp/kpm-runtime-<uid> (created with mode 0700; refused if it belongs to
// another user or others may write to it).
std::string RuntimeDirectory(std::error_code& error);

}  // namespace platform
