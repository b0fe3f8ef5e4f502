#include "workflows/log/log_file.h"

#include <QFile>

#include <unistd.h>

#include <cerrno>

namespace kpm::workflows {

namespace {

constexpr std::size_t kBufferSize = std::size_t{256} << 10;

bool MayTakeName(const std::string& path) {
    std::error_code error;
    const platform::NameHolder holder = platform::HolderOf(path, error);
    return !error &&
           (holder == platform::NameHolder::Nothing || holder == platform::NameHolder::OwnFile);
}

}  // namespace

bool LogFile::Open(const QString& path) {
    file_.Discard();
    failed_ = false;
    buffer_.clear();
    const std::string name = QFile::encodeName(path).toStdString();
    std::error_code error;
    if (!MayTakeName(name) || !file_.Create(name, error)) {
        return false;
    }
    file_.RemoveOnEndingSignals();
    buffer_.reserve(kBufferSize);
    return true;
}

bool LogFile::Flush() {
    const unsigned char* data = buffer_.data();
    std::size_t left = buffer_.size();
    while (left > 0 && !failed_) {
        const ssize_t n = ::write(file_.fd(), data, left);
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
    if (!file_.IsOpen() || failed_) {
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
    if (!file_.IsOpen()) {
        return false;
    }
    Flush();
    std::error_code error;
    if (!file_.Place(error)) {
        failed_ = true;
        file_.Discard();
    }
    buffer_ = {};
    return !failed_;
}

bool LogFile::CanCreate(const QString& path) {
    const std::string name = QFile::encodeName(path).toStdString();
    platform::StagedFile probe;
    std::error_code error;
    return MayTakeName(name) && probe.Create(name, error);
}

}  // namespace kpm::workflows
