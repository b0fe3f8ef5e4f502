// A second program holding a USB printer's port for a test: runs
// kpbidi_usb_hold (tests/bidi/communications/linux/usb_hold_main.cpp) on a
// queue, which opens the printer's exchange channel (taking the port lock),
// says "holding", and on GoOn() performs one operation through it.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/process.h"

namespace kpm::test {

class PortHolder {
public:
    PortHolder(const std::string& program, const std::string& queue) {
        int in[2];
        int out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) {
            ADD_FAILURE() << "pipe";
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        std::vector<std::string> args{program, queue};
        std::vector<char*> argv = ArgvOf(args);
        if (::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        toHolder_ = in[1];
        fromHolder_ = ::fdopen(out[0], "r");
    }
    ~PortHolder() {
        if (toHolder_ >= 0) {
            ::close(toHolder_);
        }
        if (pid_ > 0) {
            WaitProcess(pid_);
        }
        if (fromHolder_ != nullptr) {
            std::fclose(fromHolder_);
        }
    }
    PortHolder(const PortHolder&) = delete;
    PortHolder& operator=(const PortHolder&) = delete;

    std::string ReadLine() {
        char line[256] = {};
        if (fromHolder_ == nullptr || std::fgets(line, sizeof line, fromHolder_) == nullptr) {
            return "<nothing>";
        }
        std::string text = line;
        if (!text.empty() && text.back() == '\n') {
            text.pop_back();
        }
        return text;
    }
    void GoOn() { EXPECT_EQ(::write(toHolder_, "\n", 1), 1); }
    int Finish() {
        const int status = WaitProcess(pid_);
        pid_ = -1;
        return status;
    }

private:
    pid_t pid_ = -1;
    int toHolder_ = -1;
    FILE* fromHolder_ = nullptr;
};

}  // namespace kpm::test
