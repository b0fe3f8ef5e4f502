#include "platform/named_lock.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

using platform::NamedLock;

namespace {

// A private runtime folder per test, so parallel runs never share a lock.
class NamedLockTest : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/kpm-lock-test-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        dir_ = dir;
        setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("XDG_RUNTIME_DIR");
        std::filesystem::remove_all(dir_);
    }
    std::string dir_;
};

// Runs `body` in a child process and returns its exit status.
template <typename F>
int InChild(F body) {
    const pid_t pid = fork();
    if (pid == 0) {
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int TryInChild(const std::string& name) {
    return InChild([&] {
        NamedLock lock;
        std::error_code error;
        return static_cast<int>(lock.TryAcquire(name, error));
    });
}

}  // namespace

TEST_F(NamedLockTest, SecondProcessSeesTheLockUntilTheHolderCloses) {
    std::error_code error;
    {
        NamedLock lock;
        ASSERT_EQ(lock.TryAcquire("ZEDoraMAINTENANCE", error), NamedLock::Result::Acquired);
        EXPECT_EQ(lock.Path(), dir_ + "/ZEDoraMAINTENANCE");
        EXPECT_EQ(TryInChild("ZEDoraMAINTENANCE"),
                  static_cast<int>(NamedLock::Result::HeldElsewhere));
        // Another name is another lock.
        EXPECT_EQ(TryInChild("OTHER"), static_cast<int>(NamedLock::Result::Acquired));

        NamedLock moved = std::move(lock);
        EXPECT_FALSE(lock.IsHeld());
        EXPECT_TRUE(moved.IsHeld());
        EXPECT_EQ(TryInChild("ZEDoraMAINTENANCE"),
                  static_cast<int>(NamedLock::Result::HeldElsewhere));
    }
    EXPECT_EQ(TryInChild("ZEDoraMAINTENANCE"), static_cast<int>(NamedLock::Result::Acquired));
}

TEST_F(NamedLockTest, AHolderThatDiesReleasesTheLock) {
    // The child takes the lock and is killed while holding it.
    const pid_t pid = fork();
    if (pid == 0) {
        NamedLock lock;
        std::error_code error;
        // The parent's probes take the lock for a moment too; keep trying.
        while (lock.TryAcquire("ZEDoraMAINTENANCE", error) != NamedLock::Result::Acquired) {
            usleep(1000);
        }
        pause();
        _exit(0);
    }
    // Wait until the child holds it.
    NamedLock probe;
    std::error_code error;
    for (int i = 0; i < 500; ++i) {
        if (TryInChild("ZEDoraMAINTENANCE") == static_cast<int>(NamedLock::Result::HeldElsewhere)) {
            break;
        }
        usleep(10000);
    }
    EXPECT_EQ(probe.TryAcquire("ZEDoraMAINTENANCE", error), NamedLock::Result::HeldElsewhere);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    EXPECT_EQ(probe.TryAcquire("ZEDoraMAINTENANCE", error), NamedLock::Result::Acquired);
}

TEST_F(NamedLockTest, FailsWhereNoLockFileCanBeMade) {
    NamedLock lock;
    std::error_code error;
    EXPECT_EQ(lock.TryAcquire("a/b", error), NamedLock::Result::Failed);
    EXPECT_TRUE(error);
    // A session whose runtime folder is missing is broken, not attacked.
    setenv("XDG_RUNTIME_DIR", (dir_ + "/does-not-exist").c_str(), 1);
    EXPECT_EQ(lock.TryAcquire("ZEDoraMAINTENANCE", error), NamedLock::Result::Failed);
    EXPECT_TRUE(error);
    EXPECT_FALSE(lock.IsHeld());
}

TEST_F(NamedLockTest, FallsBackToAPrivateFolderWithoutXdgRuntimeDir) {
    unsetenv("XDG_RUNTIME_DIR");
    std::error_code error;
    const std::string dir = platform::RuntimeDirectory(error);
    ASSERT_FALSE(error) << error.message();
    struct stat st {};
    ASSERT_EQ(stat(dir.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, geteuid());
    EXPECT_EQ(st.st_mode & 0077, 0u);
    // A relative XDG_RUNTIME_DIR is not trusted either.
    setenv("XDG_RUNTIME_DIR", "relative/dir", 1);
    EXPECT_EQ(platform::RuntimeDirectory(error), dir);
}

// Another local user (nobody) prepares the folders a lock could live in: the
// folder $XDG_RUNTIME_DIR names, a folder of ours that others may write to,
// and /tmp/kpm-runtime-<uid>, the name once used as the last resort. None of
// them is used, and the lock still works.
TEST_F(NamedLockTest, FoldersAnotherUserPreparedAreNotUsed) {
    ASSERT_EQ(geteuid(), 0u) << "preparing folders as another user needs root (runuser)";
    const std::string theirs = "/tmp/kpm-theirs-" + std::to_string(getpid());
    ASSERT_EQ(std::system(("runuser -u nobody -- mkdir -m 0700 " + theirs).c_str()), 0)
        << "runuser (util-linux) is needed";
    const std::string open = dir_ + "/open";
    ASSERT_EQ(mkdir(open.c_str(), 0700), 0);
    ASSERT_EQ(chmod(open.c_str(), 0777), 0);
    // (Left alone when it exists: programs built before may be using it.)
    const std::string guessable = "/tmp/kpm-runtime-" + std::to_string(geteuid());
    const bool madeGuessable = !std::filesystem::exists(guessable);
    if (madeGuessable) {
        ASSERT_EQ(std::system(("runuser -u nobody -- mkdir -m 0777 " + guessable).c_str()), 0);
    }
    // A home of our own for the cache folder.
    const std::string home = dir_ + "/home";
    ASSERT_EQ(mkdir(home.c_str(), 0700), 0);
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome != nullptr ? oldHome : "";
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_CACHE_HOME");

    for (const std::string& prepared : {theirs, open}) {
        setenv("XDG_RUNTIME_DIR", prepared.c_str(), 1);
        std::error_code error;
        const std::string dir = platform::RuntimeDirectory(error);
        ASSERT_FALSE(error) << error.message();
        EXPECT_NE(dir, prepared);
        EXPECT_NE(dir, guessable);
        NamedLock lock;
        EXPECT_EQ(lock.TryAcquire("kpbidi_USB_VID_4B50&PID_0735_A1", error),
                  NamedLock::Result::Acquired)
            << error.message();
        EXPECT_EQ(lock.Path().rfind(dir + "/", 0), 0u);
        struct stat st {};
        ASSERT_EQ(stat(dir.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, geteuid());
        EXPECT_EQ(st.st_mode & 0077, 0u);
    }
    // Nothing of ours went into the folders of the other user.
    EXPECT_TRUE(std::filesystem::is_empty(theirs));
    EXPECT_FALSE(std::filesystem::exists(guessable + "/kpbidi_USB_VID_4B50&PID_0735_A1"));

    // A home another user may write to is no place for locks either: the
    // process gets a folder of its own under /tmp.
    ASSERT_EQ(chmod(home.c_str(), 0777), 0);
    unsetenv("XDG_RUNTIME_DIR");
    std::error_code error;
    const std::string last = platform::RuntimeDirectory(error);
    ASSERT_FALSE(error) << error.message();
    EXPECT_EQ(last.rfind("/tmp/kpm-runtime-", 0), 0u) << last;
    EXPECT_NE(last, guessable);
    EXPECT_EQ(platform::RuntimeDirectory(error), last);  // kept for the process

    if (savedHome.empty()) {
        unsetenv("HOME");
    } else {
        setenv("HOME", savedHome.c_str(), 1);
    }
    if (madeGuessable) {
        std::filesystem::remove_all(guessable);
    }
    std::filesystem::remove_all(theirs);
    std::filesystem::remove_all(last);
}

// The session's variable kept across setpriv or sudo names a folder the new
// user may not even enter: the lock is taken elsewhere, not refused.
TEST_F(NamedLockTest, ARuntimeFolderWeCannotEnterIsPassedOver) {
    ASSERT_EQ(geteuid(), 0u) << "becoming nobody needs root";
    const passwd* nobody = getpwnam("nobody");
    ASSERT_NE(nobody, nullptr) << "no user nobody";
    const std::string inner = dir_ + "/inner";  // dir_ is root's, mode 0700
    ASSERT_EQ(mkdir(inner.c_str(), 0700), 0);
    setenv("XDG_RUNTIME_DIR", inner.c_str(), 1);
    const int status = InChild([&] {
        if (setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0) {
            return 2;
        }
        setenv("HOME", "/nonexistent", 1);
        NamedLock lock;
        std::error_code error;
        const bool taken =
            lock.TryAcquire("ZEDoraMAINTENANCE", error) == NamedLock::Result::Acquired &&
            lock.Path().rfind(inner, 0) != 0;
        std::filesystem::remove_all(std::filesystem::path(lock.Path()).parent_path());
        return taken ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
}

TEST_F(NamedLockTest, AcquireWaitsAsLongAsAskedAndNoLonger) {
    // flock locks belong to open files, so a second lock in this process
    // contends with the first as another process would.
    NamedLock holder;
    std::error_code error;
    ASSERT_EQ(holder.TryAcquire("kpbidi_USB_VID_4B50&PID_0735_A1", error),
              NamedLock::Result::Acquired);

    NamedLock waiter;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(
        waiter.Acquire("kpbidi_USB_VID_4B50&PID_0735_A1", std::chrono::milliseconds(300), error),
        NamedLock::Result::HeldElsewhere);
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(300));
    EXPECT_LT(waited, std::chrono::milliseconds(1000));
    EXPECT_FALSE(waiter.IsHeld());
    EXPECT_TRUE(holder.IsHeld());

    // Released during the wait: taken then, not at the end of the wait.
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        holder = NamedLock();
    });
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(waiter.Acquire("kpbidi_USB_VID_4B50&PID_0735_A1", std::chrono::seconds(5), error),
              NamedLock::Result::Acquired);
    waited = std::chrono::steady_clock::now() - start;
    release.join();
    EXPECT_LT(waited, std::chrono::seconds(2));
    EXPECT_TRUE(waiter.IsHeld());
}
