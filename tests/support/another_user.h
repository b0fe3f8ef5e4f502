// Programs of the build tree run as another local user (nobody), from copies
// (tests/support/copy-for-another-user): the checkout may lie in a home
// folder no other user can enter.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/process.h"

namespace kpm::test {

class CopiesForAnotherUser {
public:
    // Copies `programs` (full paths) for `user`; a failure is a test failure
    // that names the reason.
    explicit CopiesForAnotherUser(const std::vector<std::string>& programs,
                                  std::string user = "nobody")
        : user_(std::move(user)) {
        std::vector<std::string> args{KPM_COPY_FOR_ANOTHER_USER, user_};
        args.insert(args.end(), programs.begin(), programs.end());
        char output[] = "/tmp/kpm-copy-for-another-user-XXXXXX";
        const int fd = ::mkstemp(output);
        if (fd < 0) {
            ADD_FAILURE() << "mkstemp";
            return;
        }
        ::close(fd);
        const pid_t pid = StartProcess(args, nullptr, output);
        const int status = pid < 0 ? -1 : WaitProcess(pid);
        std::ifstream in(output);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        std::remove(output);
        if (status != 0) {
            ADD_FAILURE() << "copying programs for " << user_ << ": " << text;
            return;
        }
        folder_ = text.substr(0, text.find('\n'));
    }
    ~CopiesForAnotherUser() {
        if (!folder_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(folder_, ignored);
        }
    }
    CopiesForAnotherUser(const CopiesForAnotherUser&) = delete;
    CopiesForAnotherUser& operator=(const CopiesForAnotherUser&) = delete;

    bool ok() const { return !folder_.empty(); }

    // The copy of `program` (a full path, or its file name).
    std::string Path(const std::string& program) const {
        return folder_ + "/" + std::filesystem::path(program).filename().string();
    }

    // `command` (its program a copy's path) run as the user, through runuser.
    std::vector<std::string> AsUser(std::vector<std::string> command) const {
        command.insert(command.begin(), {"/usr/sbin/runuser", "-u", user_, "--"});
        return command;
    }

private:
    std::string user_;
    std::string folder_;
};

}  // namespace kpm::test
