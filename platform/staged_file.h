// A file written under a temporary name beside its final one and renamed
// into place at the end, so the final name never holds a half-written file
// and nothing is ever written into a file that was there before.
//
// The folder may be one that other users can write to (/tmp, a shared
// folder of mode 1777): the temporary file is created anew (O_EXCL, never
// through a link) and the folder is held open, so the rename lands where the
// file was made. Placing it checks that the final name then holds this very
// file: a folder removed or renamed during the writing fails there.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "platform/signal_cleanup.h"

namespace platform {

// What holds a name that a finished file is to be renamed to.
enum class NameHolder {
    Nothing,
    OwnFile,         // a regular file of ours without other hard links
    OtherUsersFile,  // a regular file that belongs to another user
    LinkedFile,      // a regular file of ours with other hard links
    SymbolicLink,
    Folder,
    CharacterDevice,
    BlockDevice,
    Fifo,
    OtherKind,  // a socket
};

// `error` is set (and Nothing answered) when the name cannot be examined.
NameHolder HolderOf(const std::string& path, std::error_code& error);

class StagedFile {
public:
    StagedFile() = default;
    // Removes the temporary file unless it was placed.
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Creates an empty temporary file "<path>.partial-XXXXXX" beside
    // `path`, with the permissions a newly created file gets (mode 0666
    // less the umask). False with `error` when it cannot be made.
    bool Create(const std::string& path, std::error_code& error);
    // From now on an ending signal removes the temporary file (see
    // SignalCleanup for `exitStatus`).
    void RemoveOnEndingSignals(int exitStatus = -1);

    bool IsOpen() const noexcept { return fd_ >= 0; }
    // The temporary file, open for writing.
    int fd() const noexcept { return fd_; }

    // Appends through a buffer, so a file written in small pieces (log
    // blocks of a few KiB) costs a system call per 256 KiB, not per piece.
    // False once a write has failed; later writes are dropped.
    bool Write(const unsigned char* data, std::size_t size);
    // Writes what is buffered; false once any write has failed.
    bool Flush();
    // The first failed write's error; empty while none failed.
    std::error_code WriteError() const noexcept { return writeError_; }
    const std::string& TemporaryPath() const noexcept { return temporaryPath_; }

    // Writes what is buffered, flushes the file to the disk, renames it to
    // its final name and makes sure that name now holds it; closes it. False
    // with `error` when any of that but the writing failed; a file not
    // renamed stays temporary and is removed later. A failed write does not
    // stop the renaming (what arrived is kept): who wants all or nothing
    // checks Flush() first.
    bool Place(std::error_code& error);
    // Removes the temporary file (unless placed) and closes it.
    void Discard() noexcept;

private:
    void Close() noexcept;
    bool WriteOut(const unsigned char* data, std::size_t size);

    int folder_ = -1;
    int fd_ = -1;
    std::string path_;
    std::string name_;
    std::string temporaryName_;
    std::string temporaryPath_;
    bool placed_ = false;
    std::vector<unsigned char> buffer_;
    std::error_code writeError_;
    std::unique_ptr<SignalCleanup> cleanup_;
};

}  // namespace platform
