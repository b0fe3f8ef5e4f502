#include "platform/staged_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace platform {
namespace {

constexpr std::size_t kWriteSize = std::size_t{256} << 10;

std::error_code LastError() {
    return {errno, std::generic_category()};
}

// The folder part of a path and the name in it.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {".", path};
    }
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

std::string RandomSuffix() {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned char bytes[6] = {};
    if (getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
        // Unpredictable enough without it: the names are tried with O_EXCL.
        const auto mix = static_cast<std::uint64_t>(getpid()) * 0x9E3779B97F4A7C15u ^
                         static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&bytes));
        for (std::size_t i = 0; i < sizeof bytes; ++i) {
            bytes[i] = static_cast<unsigned char>(mix >> (8 * i));
        }
    }
    std::string suffix;
    for (const unsigned char byte : bytes) {
        suffix += kLetters[byte % (sizeof kLetters - 1)];
    }
    return suffix;
}

}  // namespace

NameHolder HolderOf(const std::string& path, std::error_code& error) {
    error.clear();
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            error = LastError();
        }
        return NameHolder::Nothing;
    }
    switch (st.st_mode & S_IFMT) {
        case S_IFREG:
            if (st.st_uid != geteuid()) {
                return NameHolder::OtherUsersFile;
            }
            return st.st_nlink > 1 ? NameHolder::LinkedFile : NameHolder::OwnFile;
        case S_IFLNK:
            return NameHolder::SymbolicLink;
        case S_IFDIR:
            return NameHolder::Folder;
        case S_IFCHR:
            return NameHolder::CharacterDevice;
        case S_IFBLK:
            return NameHolder::BlockDevice;
        case S_IFIFO:
            return NameHolder::Fifo;
        default:
            return NameHolder::OtherKind;
    }
}

StagedFile::~StagedFile() {
    Discard();
}

bool StagedFile::Create(const std::string& path, std::error_code& error) {
    Discard();
    placed_ = false;
    writeError_.clear();
    path_ = path;
    auto [folder, name] = SplitPath(path);
    name_ = name;
    if (name_.empty()) {
        error = std::make_error_code(std::errc::is_a_directory);
        return false;
    }
    folder_ = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_ < 0) {
        error = LastError();
        return false;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = name_ + ".partial-" + RandomSuffix();
        const int fd = openat(folder_, candidate.c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_ = fd;
            buffer_.reserve(kWriteSize);
            temporaryName_ = candidate;
            temporaryPath_ = path.find('/') == std::string::npos ? candidate
                             : folder == "/"                     ? "/" + candidate
                                                                 : folder + "/" + candidate;
            error.clear();
            return true;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    error = LastError();
    Close();
    return false;
}

bool StagedFile::Write(const unsigned char* data, std::size_t size) {
    if (fd_ < 0 && !writeError_) {
        writeError_ = std::make_error_code(std::errc::bad_file_descriptor);
    }
    if (writeError_ || (buffer_.size() + size > kWriteSize && !Flush())) {
        return false;
    }
    if (size >= kWriteSize) {
        return WriteOut(data, size);
    }
    buffer_.insert(buffer_.end(), data, data + size);
    return true;
}

bool StagedFile::Flush() {
    const bool ok = WriteOut(buffer_.data(), buffer_.size());
    buffer_.clear();
    return ok;
}

bool StagedFile::WriteOut(const unsigned char* data, std::size_t size) {
    while (size > 0 && !writeError_) {
        const ssize_t n = write(fd_, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            writeError_ = n < 0 ? LastError() : std::make_error_code(std::errc::io_error);
            break;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return !writeError_;
}

void StagedFile::RemoveOnEndingSignals(int exitStatus) {
    if (fd_ >= 0 && !cleanup_) {
        cleanup_ = std::make_unique<SignalCleanup>(folder_, temporaryName_.c_str(), exitStatus);
    }
}

bool StagedFile::Place(std::error_code& error) {
    if (fd_ < 0) {
        error = std::make_error_code(std::errc::bad_file_descriptor);
        return false;
    }
    Flush();
    if (fsync(fd_) != 0 && errno != EINVAL) {
        error = LastError();
        return false;
    }
    if (renameat(folder_, temporaryName_.c_str(), folder_, name_.c_str()) != 0) {
        error = LastError();
        return false;
    }
    placed_ = true;
    if (cleanup_) {
        cleanup_->Disarm();
    }
    // The name the caller gave, looked up again, must lead to this file: a
    // folder removed (or renamed) meanwhile would have taken it elsewhere.
    struct stat ours {};
    struct stat named {};
    if (fstat(fd_, &ours) != 0 || lstat(path_.c_str(), &named) != 0 ||
        ours.st_dev != named.st_dev || ours.st_ino != named.st_ino) {
        error = std::make_error_code(std::errc::no_such_file_or_directory);
        Close();
        return false;
    }
    // Makes the rename itself durable.
    fsync(folder_);
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0 && errno != EINTR) {
        error = LastError();
        Close();
        return false;
    }
    Close();
    error.clear();
    return true;
}

void StagedFile::Discard() noexcept {
    if (cleanup_) {
        cleanup_->Disarm();
    }
    if (folder_ >= 0 && !placed_ && !temporaryName_.empty()) {
        unlinkat(folder_, temporaryName_.c_str(), 0);
        temporaryName_.clear();
    }
    Close();
}

void StagedFile::Close() noexcept {
    cleanup_.reset();
    buffer_ = {};
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    if (folder_ >= 0) {
        close(folder_);
        folder_ = -1;
    }
}

}  // namespace platform
