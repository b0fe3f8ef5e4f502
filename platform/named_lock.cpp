#include "platform/named_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <thread>
#include <utility>

namespace platform {

namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

bool IsPrivateFolderOfUser(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        return false;
    }
    return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 0022) == 0;
}

}  // namespace

std::string RuntimeDirectory(std::error_code& error) {
    error.clear();
    if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    const std::string uid = std::to_string(geteuid());
    if (std::string run = "/run/user/" + uid; IsPrivateFolderOfUser(run)) {
        return run;
    }
    std::string fallback = "/tmp/kpm-runtime-" + uid;
    if (mkdir(fallback.c_str(), 0700) != 0 && errno != EEXIST) {
        error = LastError();
        return {};
    }
    // Someone else may have made the folder first to catch our lock files.
    if (!IsPrivateFolderOfUser(fallback)) {
        error = std::make_error_code(std::errc::permission_denied);
        return {};
    }
    return fallback;
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
