// Window timers by id, as a window keeps them: a timer fires every period
// until it is killed, and setting an id that is running restarts it with the
// new period.
#pragma once

#include <QObject>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>

namespace ui {

class WindowTimers {
public:
    // `onTimer` gets the id of each timer that fires.
    WindowTimers(QObject* owner, std::function<void(int)> onTimer);

    void Set(int id, int periodMs);
    void Kill(int id);
    bool IsRunning(int id) const;

private:
    QObject* owner_;
    std::function<void(int)> onTimer_;
    std::map<int, std::unique_ptr<QTimer>> timers_;
};

}  // namespace ui
