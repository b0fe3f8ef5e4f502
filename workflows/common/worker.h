// One piece of printer work on a thread of its own, with its progress and
// its end reported on the user-interface thread: the one way pages run work
// that may block (RunPrinterOperation, the log fetch).
//
// The work counts its steps where they happen (an atomic add, no call to
// the window); the window reads the count at most every
// kProgressIntervalMs and once more at the end, as Qt's own futures
// throttle their progress: a printer faster than the screen costs the
// window at most 25 updates a second, however many steps it sends.
#pragma once

#include <QObject>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <thread>

namespace kpm::workflows {

inline constexpr int kProgressIntervalMs = 40;

class Worker : public QObject {
public:
    using Job = std::function<int()>;
    using Finished = std::function<void(int result)>;
    using Progress = std::function<void(std::uint64_t steps)>;

    explicit Worker(QObject* parent = nullptr);
    // Waits for a job still running (see Wait).
    ~Worker() override;
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // Runs `job` on a new thread. Meanwhile `progress`, if given, gets the
    // steps counted so far whenever they changed, at most every
    // kProgressIntervalMs; when the job has returned and its thread ended,
    // `progress` gets the final count (if it changed) and then `finished`
    // the job's result: both on this object's thread, from its event loop,
    // never from within Start. A job that throws ends with -1, and Failure()
    // holds what it threw. Not while a job runs.
    void Start(Job job, Finished finished, Progress progress = {});
    bool IsRunning() const { return thread_.joinable(); }

    // From the job, on its thread: `steps` more done. Wait-free.
    void Advance(std::uint64_t steps = 1) noexcept {
        steps_.fetch_add(steps, std::memory_order_relaxed);
    }

    // Waits for the job to end, for an owner that is going away: neither
    // `progress` nor `finished` is called for it any more. The job must
    // be told to stop first if it is a long one.
    void Wait();

    // The last job's result and what it threw (or null), once it has ended
    // or been waited for.
    int Result() const { return result_; }
    std::exception_ptr Failure() const { return failure_; }

private:
    void ShowProgress();
    void OnJobEnded(std::uint64_t generation);

    std::thread thread_;
    std::atomic<std::uint64_t> steps_{0};
    std::uint64_t shown_ = 0;
    QTimer progressTimer_;
    Finished finished_;
    Progress progress_;
    int result_ = 0;
    std::exception_ptr failure_;
    // Counts the jobs waited for, whose queued ends are then ignored.
    std::uint64_t generation_ = 0;
};

}  // namespace kpm::workflows
