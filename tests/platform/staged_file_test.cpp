#include "platform/staged_file.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using platform::NameHolder;
using platform::StagedFile;

class StagedFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/kpm-staged-test-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        dir_ = dir;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }
    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path dir_;
};

TEST_F(StagedFileTest, TheNameHoldsTheFileOnlyOncePlaced) {
    const fs::path path = dir_ / "x.log";
    std::ofstream(path) << "earlier";  // an earlier file of ours is replaced whole
    std::error_code error;
    {
        StagedFile file;
        ASSERT_TRUE(file.Create(path.string(), error)) << error.message();
        ASSERT_EQ(write(file.fd(), "log", 3), 3);
        EXPECT_EQ(fs::path(file.TemporaryPath()).parent_path(), dir_);
        EXPECT_EQ(Read(path), "earlier");
        struct stat st {};
        ASSERT_EQ(stat(file.TemporaryPath().c_str(), &st), 0);
        const mode_t mask = umask(0);
        umask(mask);
        EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
        ASSERT_TRUE(file.Place(error)) << error.message();
    }
    EXPECT_EQ(Read(path), "log");
    EXPECT_EQ(Names(), std::vector<std::string>{"x.log"});

    // Not placed: nothing is left.
    {
        StagedFile file;
        ASSERT_TRUE(file.Create((dir_ / "y.log").string(), error));
    }
    EXPECT_EQ(Names(), std::vector<std::string>{"x.log"});
}

// A folder removed (with the file in it) or renamed while the file is
// written: the name asked for does not hold the file at the end.
TEST_F(StagedFileTest, AFolderGoneMeanwhileIsAFailure) {
    for (const bool renamed : {false, true}) {
        const fs::path folder = dir_ / "logs";
        fs::create_directory(folder);
        StagedFile file;
        std::error_code error;
        ASSERT_TRUE(file.Create((folder / "x.log").string(), error));
        ASSERT_EQ(write(file.fd(), "log", 3), 3);
        if (renamed) {
            fs::rename(folder, dir_ / "elsewhere");
        } else {
            fs::remove_all(folder);
        }
        EXPECT_FALSE(file.Place(error)) << renamed;
        EXPECT_TRUE(error) << renamed;
        EXPECT_FALSE(fs::exists(folder / "x.log")) << renamed;
        fs::remove_all(dir_ / "elsewhere");
    }
}

TEST_F(StagedFileTest, WhatHoldsAName) {
    std::ofstream(dir_ / "own") << "x";
    std::ofstream(dir_ / "theirs") << "x";
    ASSERT_EQ(chown((dir_ / "theirs").c_str(), 65534, 65534), 0) << "needs root";
    std::ofstream(dir_ / "linked") << "x";
    fs::create_hard_link(dir_ / "linked", dir_ / "link");
    fs::create_symlink(dir_ / "own", dir_ / "symlink");
    fs::create_directory(dir_ / "folder");
    ASSERT_EQ(mkfifo((dir_ / "fifo").c_str(), 0600), 0);
    const std::pair<const char*, NameHolder> cases[] = {
        {"missing", NameHolder::Nothing},
        {"own", NameHolder::OwnFile},
        {"theirs", NameHolder::OtherUsersFile},
        {"link", NameHolder::LinkedFile},
        {"symlink", NameHolder::SymbolicLink},
        {"folder", NameHolder::Folder},
        {"fifo", NameHolder::Fifo},
    };
    for (const auto& [name, holder] : cases) {
        std::error_code error;
        EXPECT_EQ(platform::HolderOf((dir_ / name).string(), error), holder) << name;
        EXPECT_FALSE(error) << name;
    }
}

// Runs in a child: stages a file, writes to it, tells the parent through
// `ready` and waits for a signal.
[[noreturn]] void StageAndWait(const fs::path& path, int ready, int exitStatus, int ignored) {
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);  // SIGQUIT would dump one
    if (ignored != 0) {
        signal(ignored, SIG_IGN);
    }
    StagedFile file;
    std::error_code error;
    if (!file.Create(path.string(), error)) {
        _exit(3);
    }
    file.RemoveOnEndingSignals(exitStatus);
    if (write(file.fd(), "part", 4) != 4 || write(ready, "r", 1) != 1) {
        _exit(4);
    }
    for (;;) {
        pause();
    }
}

// Started with SIGHUP ignored (nohup), a dropped terminal leaves the work
// going: an ignored signal is not turned into an end.
TEST_F(StagedFileTest, EndingSignalsRemoveTheTemporaryFile) {
    struct Case {
        int signal;
        int exitStatus;  // -1: ends by the signal
        int ignored;
    };
    for (const Case c : {Case{SIGINT, -1, 0}, Case{SIGTERM, -1, 0}, Case{SIGHUP, -1, 0},
                         Case{SIGQUIT, -1, 0}, Case{SIGTERM, 130, 0}, Case{SIGHUP, -1, SIGHUP}}) {
        SCOPED_TRACE(strsignal(c.signal) + std::string(c.ignored != 0 ? " (ignored)" : ""));
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t pid = fork();
        if (pid == 0) {
            close(ready[0]);
            StageAndWait(dir_ / "x.log", ready[1], c.exitStatus, c.ignored);
        }
        close(ready[1]);
        char byte = 0;
        ASSERT_EQ(read(ready[0], &byte, 1), 1);
        close(ready[0]);
        ASSERT_EQ(Names().size(), 1u);
        EXPECT_NE(Names()[0].find("x.log.partial-"), std::string::npos);

        kill(pid, c.signal);
        int status = 0;
        int ending = c.signal;
        if (c.ignored != 0) {
            usleep(200'000);
            EXPECT_EQ(waitpid(pid, &status, WNOHANG), 0) << "the ignored signal ended it";
            EXPECT_EQ(Names().size(), 1u);
            ending = SIGTERM;
            kill(pid, ending);
        }
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        if (c.exitStatus < 0) {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == ending) << status;
        } else {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == c.exitStatus) << status;
        }
        EXPECT_TRUE(Names().empty());
    }
}

}  // namespace
