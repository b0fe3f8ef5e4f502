#include "workflows/log/log_file.h"

#include <QFile>

namespace kpm::workflows {

namespace {

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
    const std::string name = QFile::encodeName(path).toStdString();
    std::error_code error;
    if (!MayTakeName(name) || !file_.Create(name, error)) {
        return false;
    }
    file_.RemoveOnEndingSignals();
    return true;
}

bool LogFile::Write(const unsigned char* data, std::size_t size) {
    return file_.IsOpen() && file_.Write(data, size);
}

bool LogFile::Close() {
    if (!file_.IsOpen()) {
        return false;
    }
    std::error_code error;
    if (!file_.Place(error)) {
        failed_ = true;
        file_.Discard();
    }
    return !Failed();
}

bool LogFile::CanCreate(const QString& path) {
    const std::string name = QFile::encodeName(path).toStdString();
    platform::StagedFile probe;
    std::error_code error;
    return MayTakeName(name) && probe.Create(name, error);
}

}  // namespace kpm::workflows
