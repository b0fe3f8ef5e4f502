// The log file being written: created (or truncated) in the chosen folder,
// written in large pieces, and closed with a verdict on whether everything
// written is on the disk.
//
// The folder may be one that other users can write to, so the file is
// never opened through a symbolic link and must be a regular file: a link
// or a named pipe planted under the expected name is refused rather than
// followed or waited on.
#pragma once

#include <QString>

#include <cstddef>
#include <vector>

namespace kpm::workflows {

class LogFile {
public:
    LogFile() = default;
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Creates the file or empties it; false when it cannot be.
    bool Open(const QString& path);
    bool IsOpen() const { return fd_ >= 0; }
    // False once any write has failed; later writes are dropped.
    bool Write(const unsigned char* data, std::size_t size);
    // Writes what is buffered, flushes it to the disk and closes; false
    // when anything written since Open was lost.
    bool Close();
    bool Failed() const { return failed_; }

    // Whether the file can be created: created (or emptied) and closed.
    static bool CanCreate(const QString& path);

private:
    bool Flush();

    int fd_ = -1;
    bool failed_ = false;
    std::vector<unsigned char> buffer_;
};

}  // namespace kpm::workflows
