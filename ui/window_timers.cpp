#include "ui/window_timers.h"

namespace ui {

WindowTimers::WindowTimers(QObject* owner, std::function<void(int)> onTimer)
    : owner_(owner), onTimer_(std::move(onTimer)) {}

void WindowTimers::Set(int id, int periodMs) {
    auto& timer = timers_[id];
    if (!timer) {
        timer = std::make_unique<QTimer>(owner_);
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer.get(), &QTimer::timeout, owner_, [this, id] { onTimer_(id); });
    }
    timer->start(periodMs);  // restarts a running timer
}

void WindowTimers::Kill(int id) {
    if (auto it = timers_.find(id); it != timers_.end()) {
        it->second->stop();
    }
}

bool WindowTimers::IsRunning(int id) const {
    const auto it = timers_.find(id);
    return it != timers_.end() && it->second->isActive();
}

}  // namespace ui
