#include "workflows/common/worker.h"

namespace kpm::workflows {

Worker::Worker(QObject* parent) : QObject(parent) {
    progressTimer_.setInterval(kProgressIntervalMs);
    connect(&progressTimer_, &QTimer::timeout, this, [this] { ShowProgress(); });
}

Worker::~Worker() {
    Wait();
}

void Worker::Start(Job job, Finished finished, Progress progress) {
    Wait();
    finished_ = std::move(finished);
    progress_ = std::move(progress);
    steps_ = 0;
    shown_ = 0;
    result_ = 0;
    failure_ = nullptr;
    if (progress_) {
        progressTimer_.start();
    }
    thread_ = std::thread([this, job = std::move(job), generation = generation_] {
        try {
            result_ = job();
        } catch (...) {
            failure_ = std::current_exception();
            result_ = -1;
        }
        // Queued, so that the end is seen from the event loop even when the
        // job ends before the caller has started waiting in one.
        QMetaObject::invokeMethod(
            this, [this, generation] { OnJobEnded(generation); }, Qt::QueuedConnection);
    });
}

void Worker::Wait() {
    progressTimer_.stop();
    finished_ = nullptr;
    progress_ = nullptr;
    if (thread_.joinable()) {
        thread_.join();
        // Its end, queued meanwhile, is old news.
        ++generation_;
    }
}

void Worker::ShowProgress() {
    const std::uint64_t steps = steps_.load(std::memory_order_relaxed);
    if (progress_ && steps != shown_) {
        shown_ = steps;
        progress_(steps);
    }
}

void Worker::OnJobEnded(std::uint64_t generation) {
    if (generation != generation_ || !thread_.joinable()) {
        return;
    }
    thread_.join();
    progressTimer_.stop();
    ShowProgress();
    // The handler may start the next job.
    const Finished finished = std::move(finished_);
    finished_ = nullptr;
    progress_ = nullptr;
    if (finished) {
        finished(result_);
    }
}

}  // namespace kpm::workflows
