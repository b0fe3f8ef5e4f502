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

// The folder that holds the lock files, a folder no other user can prepare:
// $XDG_RUNTIME_DIR when it is an absolute path to a folder of ours that
// nobody else may enter (mode 0700); else /run/user/<uid> under the same
// check; else "kpm-runtime" (mode 0700) in the user's cache folder
// ($XDG_CACHE_HOME or ~/.cache, which must be the user's and writable by no
// one else); else a folder made with mkdtemp under /tmp for the life of the
// process. An $XDG_RUNTIME_DIR that does not exist is an error (ENOENT);
// one we may not even look at (EACCES) is another user's and passed over.
std::string RuntimeDirectory(std::error_code& error);

}  // namespace platform
