// The log file being written. It is written under a temporary name beside
// its own and takes its name only when closed, so an end of the program by
// a signal (which removes the temporary file) never leaves a cut log under
// the name. Written in large pieces; closing answers whether everything
// written is on the disk under the name.
//
// The folder may be one that other users can write to (a shared folder of
// mode 1777), where the name, being predictable, may be taken before us: a
// name held by anything but an earlier log of ours (a regular file of ours
// with no other hard link) is refused, and nothing is ever written into a
// file that was there before: an earlier log of ours is replaced whole.
#pragma once

#include <QString>

#include <cstddef>

#include "platform/staged_file.h"

namespace kpm::workflows {

class LogFile {
public:
    LogFile() = default;
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Starts the file (under its temporary name); false when the name is
    // refused or the folder takes no new file.
    bool Open(const QString& path);
    bool IsOpen() const { return file_.IsOpen(); }
    // False once any write has failed; later writes are dropped.
    bool Write(const unsigned char* data, std::size_t size);
    // Writes what is buffered and gives the file its name, also after a
    // failed write (what arrived is kept); true when everything written
    // since Open is on the disk under the name.
    bool Close();
    bool Failed() const { return failed_ || file_.WriteError(); }

    // Whether the log can be made under `path`: the name is free or holds an
    // earlier log of ours, and the folder takes a new file. Leaves nothing.
    static bool CanCreate(const QString& path);

private:
    platform::StagedFile file_;
    bool failed_ = false;  // the file could not take its name
};

}  // namespace kpm::workflows
