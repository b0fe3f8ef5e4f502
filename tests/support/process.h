// Starting programs from tests: locating them (system programs live in
// sbin folders that a user's PATH may lack) and running them to completion.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace kpm::test {

// The full path of `name` from PATH, /usr/sbin or /sbin; empty if none.
inline std::string FindProgram(const std::string& name) {
    std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    path += ":/usr/local/sbin:/usr/sbin:/sbin:/usr/bin:/bin";
    std::stringstream dirs(path);
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        if (dir.empty()) {
            continue;
        }
        const std::string candidate = dir + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

inline std::vector<char*> ArgvOf(std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    return argv;
}

// Starts args[0] (a full path) with the environment `env` (nullptr: ours),
// its standard output and error going to the file `output` when given.
// Returns the process id, or -1 with errno set.
inline pid_t StartProcess(std::vector<std::string> args, char** env = nullptr,
                          const char* output = nullptr) {
    std::vector<char*> argv = ArgvOf(args);
    pid_t pid = -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (output != nullptr) {
        posix_spawn_file_actions_addopen(&actions, 1, output, O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
    }
    const int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(),
                                 env != nullptr ? env : environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        errno = rc;
        return -1;
    }
    return pid;
}

// The exit status of the finished process; 128 + signal if it was killed;
// -1 if it could not be started.
inline int WaitProcess(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

// As WaitProcess, and the most memory the program ever had resident, in
// KiB: its VmHWM, read every few milliseconds while it runs. (The kernel's
// ru_maxrss would not do: it starts a new program's count at what its
// parent had resident when it started.)
inline int WaitProcessPeak(pid_t pid, long& peakKiB) {
    peakKiB = 0;
    const std::string status = "/proc/" + std::to_string(pid) + "/status";
    for (;;) {
        if (std::FILE* f = std::fopen(status.c_str(), "r")) {
            char line[256];
            while (std::fgets(line, sizeof line, f) != nullptr) {
                long kib = 0;
                if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1 && kib > peakKiB) {
                    peakKiB = kib;
                }
            }
            std::fclose(f);
        }
        int wstatus = 0;
        const pid_t done = ::waitpid(pid, &wstatus, WNOHANG);
        if (done < 0 && errno != EINTR) {
            return -1;
        }
        if (done == pid) {
            if (WIFEXITED(wstatus)) {
                return WEXITSTATUS(wstatus);
            }
            return WIFSIGNALED(wstatus) ? 128 + WTERMSIG(wstatus) : -1;
        }
        ::usleep(2000);
    }
}

inline int RunProcess(std::vector<std::string> args, char** env = nullptr) {
    const pid_t pid = StartProcess(std::move(args), env);
    return pid < 0 ? -1 : WaitProcess(pid);
}

}  // namespace kpm::test
