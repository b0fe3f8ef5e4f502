#include "tools/kpbidi/log_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace kpbidi_tool {
namespace {

// The temporary file's name, for the signal handler: a fixed buffer, since
// the handler may only make async-signal-safe calls.
char gTemporaryPath[4096];

extern "C" void RemoveTemporaryAndExit(int) {
    if (gTemporaryPath[0] != '\0') {
        unlink(gTemporaryPath);
    }
    _exit(130);
}

// The signals that end a fetch: Ctrl+C, kill, a dropped terminal or SSH
// session, and Ctrl+\.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr std::size_t kSignalCount = sizeof kEndingSignals / sizeof kEndingSignals[0];

// Installs the handlers for the life of one fetch, and restores the old ones.
class InterruptCleanup {
public:
    explicit InterruptCleanup(const std::string& temporary) {
        std::snprintf(gTemporaryPath, sizeof gTemporaryPath, "%s", temporary.c_str());
        struct sigaction action {};
        action.sa_handler = RemoveTemporaryAndExit;
        sigemptyset(&action.sa_mask);
        for (const int signal : kEndingSignals) {
            sigaddset(&action.sa_mask, signal);
        }
        for (std::size_t i = 0; i < kSignalCount; ++i) {
            sigaction(kEndingSignals[i], &action, &old_[i]);
        }
    }
    ~InterruptCleanup() {
        for (std::size_t i = 0; i < kSignalCount; ++i) {
            sigaction(kEndingSignals[i], &old_[i], nullptr);
        }
        gTemporaryPath[0] = '\0';
    }
    InterruptCleanup(const InterruptCleanup&) = delete;
    InterruptCleanup& operator=(const InterruptCleanup&) = delete;

private:
    struct sigaction old_[kSignalCount] {};
};

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

struct Sink {
    int fd = -1;
    int writeErrno = 0;
    bool progress = false;
    std::uint64_t bytes = 0;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point shown{};

    void Show(bool final) {
        const auto now = std::chrono::steady_clock::now();
        if (!final && now - shown < std::chrono::milliseconds(200)) {
            return;
        }
        shown = now;
        const double seconds = std::chrono::duration<double>(now - start).count();
        const double mib = static_cast<double>(bytes) / (1 << 20);
        std::fprintf(stderr, "\r%10.1f MiB  %8.1f MiB/s", mib, seconds > 0 ? mib / seconds : 0.0);
        if (final) {
            std::fputc('\n', stderr);
        }
        std::fflush(stderr);
    }
};

bool WriteChunk(void* context, const unsigned char* data, size_t size) {
    auto& sink = *static_cast<Sink*>(context);
    while (size > 0) {
        const ssize_t n = write(sink.fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            // Stop the deliveries; the library still reads the reply to its
            // end, and the temporary file is then removed.
            sink.writeErrno = errno;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
        sink.bytes += static_cast<std::uint64_t>(n);
    }
    if (sink.progress) {
        sink.Show(false);
    }
    return true;
}

// Only a new file or a regular file is replaced: renaming over a device, a
// FIFO or a symbolic link would put a regular file in its place (as root,
// fetch-log /dev/null would replace the system's /dev/null). Returns the
// problem, empty when `path` may be written.
std::string RefusedTarget(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        return errno == ENOENT ? "" : "cannot use " + path + ": " + std::strerror(errno);
    }
    if (S_ISREG(st.st_mode)) {
        return "";
    }
    const char* what = S_ISLNK(st.st_mode)    ? "a symbolic link"
                       : S_ISDIR(st.st_mode)  ? "a folder"
                       : S_ISCHR(st.st_mode)  ? "a character device"
                       : S_ISBLK(st.st_mode)  ? "a block device"
                       : S_ISFIFO(st.st_mode) ? "a FIFO"
                                              : "not a regular file";
    return "will not replace " + path + ": it is " + what + "; name a new or regular file";
}

std::string Directory(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

LogFileResult FetchLogToFile(kpbidi_printer_tag* printer, const std::string& path, bool progress) {
    LogFileResult result;
    if (result.problem = RefusedTarget(path); !result.problem.empty()) {
        return result;
    }
    std::string pattern = path + ".partial-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    FileDescriptor fd(mkstemp(name.data()));
    if (fd.get() < 0) {
        result.problem = "cannot create a file beside " + path + ": " + std::strerror(errno);
        return result;
    }
    const std::string temporary(name.data());
    InterruptCleanup cleanup(temporary);

    Sink sink;
    sink.fd = fd.get();
    sink.progress = progress;
    kpbidi_fetch_log(printer, WriteChunk, &sink, &result.error);
    result.bytes = sink.bytes;
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - sink.start).count();
    if (progress) {
        sink.Show(true);
    }

    const auto fail = [&](const std::string& problem) {
        unlink(temporary.c_str());
        result.problem = problem;
        return result;
    };
    if (result.error.code != 0) {
        return fail("");
    }
    if (sink.writeErrno != 0) {
        return fail("cannot write " + temporary + ": " + std::strerror(sink.writeErrno));
    }
    // The file gets the permissions a newly created file would have.
    const mode_t mask = umask(0);
    umask(mask);
    if (fchmod(fd.get(), 0666 & ~mask) != 0 || fsync(fd.get()) != 0 || close(fd.release()) != 0) {
        return fail("cannot save " + temporary + ": " + std::strerror(errno));
    }
    // Again: something else may have taken the name during the fetch.
    if (const std::string refused = RefusedTarget(path); !refused.empty()) {
        return fail(refused);
    }
    if (rename(temporary.c_str(), path.c_str()) != 0) {
        return fail("cannot rename the log to " + path + ": " + std::strerror(errno));
    }
    // Make the rename itself durable.
    FileDescriptor directory(open(Directory(path).c_str(), O_RDONLY | O_DIRECTORY));
    if (directory.get() >= 0) {
        fsync(directory.get());
    }
    return result;
}

}  // namespace kpbidi_tool
