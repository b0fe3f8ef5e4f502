#include "workflows/log/log_file.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kpm::workflows {

namespace {

constexpr std::size_t kBufferSize = std::size_t{256} << 10;

}  // namespace

LogFile::~LogFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool LogFile::Open(const QString& path) {
    if (fd_ >= 0) {
        Close();
    }
    failed_ = false;
    const QByteArray name = QFile::encodeName(path);
    // Non-blocking only for the open itself, so that a pipe without a
    // reader cannot hold the wizard.
    const int fd = ::open(name.constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        return false;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    buffer_.clear();
    buffer_.reserve(kBufferSize);
    return true;
}

bool LogFile::Flush() {
    const unsigned char* data = buffer_.data();
    std::size_t left = buffer_.size();
    while (left > 0 && !failed_) {
        const ssize_t n = ::write(fd_, data, left);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            failed_ = true;
            break;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    buffer_.clear();
    return !failed_;
}

bool LogFile::Write(const unsigned char* data, std::size_t size) {
    if (fd_ < 0 || failed_) {
        return false;
    }
    while (size > 0) {
        const std::size_t room = kBufferSize - buffer_.size();
        const std::size_t take = size < room ? size : room;
        buffer_.insert(buffer_.end(), data, data + take);
        data += take;
        size -= take;
        if (buffer_.size() == kBufferSize && !Flush()) {
            return false;
        }
    }
    return true;
}

bool LogFile::Close() {
    if (fd_ < 0) {
        return !failed_;
    }
    Flush();
    if (::fsync(fd_) != 0 && errno != EINVAL) {
        failed_ = true;
    }
    if (::close(fd_) != 0 && errno != EINTR) {
        failed_ = true;
    }
    fd_ = -1;
    buffer_ = {};
    return !failed_;
}

bool LogFile::CanCreate(const QString& path) {
    LogFile file;
    return file.Open(path) && file.Close();
}

}  // namespace kpm::workflows
