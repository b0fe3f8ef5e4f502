#include "tools/kpbidi/log_file.h"

#include <chrono>
#include <cstdio>

#include "platform/staged_file.h"

namespace kpbidi_tool {
namespace {

// The status of a fetch ended by Ctrl+C, kill, a dropped terminal or SSH
// session, or Ctrl+\ (SIGQUIT): the one shells report for Ctrl+C.
constexpr int kInterruptedStatus = 130;

struct Sink {
    platform::StagedFile* file = nullptr;
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
    if (!sink.file->Write(data, size)) {
        // Stop the deliveries; the library still reads the reply to its
        // end, and the temporary file is then removed.
        return false;
    }
    sink.bytes += size;
    if (sink.progress) {
        sink.Show(false);
    }
    return true;
}

// Only a new file or a regular file is replaced: renaming over a device, a
// FIFO or a symbolic link would put a regular file in its place (as root,
// fetch-log /dev/null would replace the system's /dev/null), and another
// user's file is theirs. Returns the problem, empty when `path` may be
// written.
std::string RefusedTarget(const std::string& path) {
    std::error_code error;
    const char* what = nullptr;
    switch (platform::HolderOf(path, error)) {
        case platform::NameHolder::Nothing:
            return error ? "cannot use " + path + ": " + error.message() : "";
        case platform::NameHolder::OwnFile:
        case platform::NameHolder::LinkedFile:
            return "";
        case platform::NameHolder::OtherUsersFile:
            what = "another user's file";
            break;
        case platform::NameHolder::SymbolicLink:
            what = "a symbolic link";
            break;
        case platform::NameHolder::Folder:
            what = "a folder";
            break;
        case platform::NameHolder::CharacterDevice:
            what = "a character device";
            break;
        case platform::NameHolder::BlockDevice:
            what = "a block device";
            break;
        case platform::NameHolder::Fifo:
            what = "a FIFO";
            break;
        case platform::NameHolder::OtherKind:
            what = "not a regular file";
            break;
    }
    return "will not replace " + path + ": it is " + what + "; name a new or regular file";
}

}  // namespace

LogFileResult FetchLogToFile(kpbidi_printer_tag* printer, const std::string& path, bool progress) {
    LogFileResult result;
    if (result.problem = RefusedTarget(path); !result.problem.empty()) {
        return result;
    }
    platform::StagedFile staged;
    std::error_code error;
    if (!staged.Create(path, error)) {
        result.problem = "cannot create a file beside " + path + ": " + error.message();
        return result;
    }
    staged.RemoveOnEndingSignals(kInterruptedStatus);

    Sink sink;
    sink.file = &staged;
    sink.progress = progress;
    kpbidi_fetch_log(printer, WriteChunk, &sink, &result.error);
    if (result.error.code == 0) {
        staged.Flush();  // all or nothing: a failed last write fails too
    }
    result.bytes = sink.bytes;
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - sink.start).count();
    if (progress) {
        sink.Show(true);
    }

    // On every failure the temporary file goes with `staged`.
    if (result.error.code != 0) {
        return result;
    }
    if (const std::error_code written = staged.WriteError()) {
        result.problem = "cannot write " + staged.TemporaryPath() + ": " + written.message();
        return result;
    }
    // Again: something else may have taken the name during the fetch.
    if (result.problem = RefusedTarget(path); !result.problem.empty()) {
        return result;
    }
    if (!staged.Place(error)) {
        result.problem = "cannot save the log as " + path + ": " + error.message();
    }
    return result;
}

}  // namespace kpbidi_tool
