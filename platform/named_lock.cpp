#include "platform/named_lock.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <utility>

namespace platform {

namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

// Owned by us and closed to everyone else: the XDG base directory rules for
// the runtime directory (mode 0700). A folder another user made, or may write
// to, would let that user hold or swap our lock files.
bool IsPrivateFolderOfUser(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        return false;
    }
    return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 0077) == 0;
}

// Owned by us (or root) and writable by no one else, so nobody else can
// rename or replace what we make in it.
bool IsSafeParent(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        return false;
    }
    return S_ISDIR(st.st_mode) && (st.st_uid == geteuid() || st.st_uid == 0) &&
           (st.st_mode & 0022) == 0;
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        return home;
    }
    if (const passwd* entry = getpwuid(geteuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return {};
}

// "kpm-runtime" in the user's cache folder ($XDG_CACHE_HOME or ~/.cache),
// made when missing; empty when the home or cache folder is not the user's
// own.
std::string CacheRuntimeFolder() {
    std::string cache;
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg != nullptr && xdg[0] == '/') {
        cache = xdg;
    } else {
        const std::string home = HomeFolder();
        if (home.empty() || !IsSafeParent(home)) {
            return {};
        }
        cache = home + "/.cache";
        if (mkdir(cache.c_str(), 0700) != 0 && errno != EEXIST) {
            return {};
        }
    }
    if (!IsSafeParent(cache)) {
        return {};
    }
    std::string folder = cache + "/kpm-runtime";
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return {};
    }
    return IsPrivateFolderOfUser(folder) ? folder : std::string();
}

// A user without a usable home: a folder under /tmp whose name nobody can
// guess and make first, made once and kept for the life of the process.
// Only this process finds it, so its locks keep out its own threads and
// children, not other programs.
std::string ProcessRuntimeFolder(std::error_code& error) {
    static std::mutex mutex;
    static std::string folder;
    const std::lock_guard<std::mutex> lock(mutex);
    if (folder.empty() || !IsPrivateFolderOfUser(folder)) {
        char name[] = "/tmp/kpm-runtime-XXXXXX";
        if (mkdtemp(name) == nullptr) {
            error = LastError();
            return {};
        }
        folder = name;
    }
    return folder;
}

}  // namespace

std::string RuntimeDirectory(std::error_code& error) {
    error.clear();
    if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg != nullptr && xdg[0] == '/') {
        if (IsPrivateFolderOfUser(xdg)) {
            return xdg;
        }
        struct stat st {};
        if (lstat(xdg, &st) != 0 && errno != EACCES) {
            // The session names a folder that is not there: a broken
            // session, not another user's doing.
            error = LastError();
            return {};
        }
        // Someone else's folder, open to others, or behind a folder we may
        // not enter (the session's variable kept across setpriv or sudo):
        // not ours to use.
    }
    const std::string uid = std::to_string(geteuid());
    if (std::string run = "/run/user/" + uid; IsPrivateFolderOfUser(run)) {
        return run;
    }
    if (std::string cache = CacheRuntimeFolder(); !cache.empty()) {
        return cache;
    }
    return ProcessRuntimeFolder(error);
}

NamedLock::NamedLock(NamedLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

NamedLock& NamedLock::operator=(NamedLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

NamedLock::~NamedLock() {
    if (fd_ >= 0) {
        close(fd_);  // closing the last descriptor releases the flock
    }
}

int NamedLock::OpenLockFile(const std::string& name, std::string& path, std::error_code& error) {
    if (name.empty() || name.find('/') != std::string::npos) {
        error = std::make_error_code(std::errc::invalid_argument);
        return -1;
    }
    const std::string dir = RuntimeDirectory(error);
    if (error) {
        return -1;
    }
    path = dir + "/" + name;
    // The file itself stays behind; only the lock on it matters, and that
    // goes away when the last descriptor of its holder is closed.
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        error = LastError();
    }
    return fd;
}

NamedLock::Result NamedLock::TryAcquire(const std::string& name, std::error_code& error) {
    return Acquire(name, std::chrono::milliseconds(0), error);
}

NamedLock::Result NamedLock::Acquire(const std::string& name, std::chrono::milliseconds wait,
                                     std::error_code& error) {
    error.clear();
    if (fd_ >= 0) {
        return Result::Acquired;
    }
    std::string path;
    const int fd = OpenLockFile(name, path, error);
    if (fd < 0) {
        return Result::Failed;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            break;
        }
        const int saved = errno;
        if (saved == EINTR) {
            continue;
        }
        if (saved != EWOULDBLOCK) {
            close(fd);
            error = {saved, std::generic_category()};
            return Result::Failed;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            close(fd);
            return Result::HeldElsewhere;
        }
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            deadline - now, std::chrono::milliseconds(10)));
    }
    fd_ = fd;
    path_ = std::move(path);
    return Result::Acquired;
}

}  // namespace platform
