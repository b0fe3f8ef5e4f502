#include "workflows/common/printer_operation.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

#include <exception>

#include "ui/property_sheet.h"
#include "workflows/common/worker.h"

namespace kpm::workflows {

namespace {

bool IsUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::ContextMenu:
        case QEvent::Close:
            return true;
        default:
            return false;
    }
}

// Swallows the user's input to every window of the program while it lives.
class InputBlocker : public QObject {
public:
    InputBlocker() { QCoreApplication::instance()->installEventFilter(this); }
    ~InputBlocker() override { QCoreApplication::instance()->removeEventFilter(this); }
    InputBlocker(const InputBlocker&) = delete;
    InputBlocker& operator=(const InputBlocker&) = delete;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        return IsUserInput(event->type());
    }
};

// The sheet's busy state, the wait cursor and the delayed indicator, undone
// however the wait ends.
class BusyScope {
public:
    explicit BusyScope(ui::PropertySheet& sheet) : sheet_(sheet) {
        sheet_.SetBusy(true);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        indicatorDelay_.setSingleShot(true);
        QObject::connect(&indicatorDelay_, &QTimer::timeout, &sheet_,
                         [this] { sheet_.ShowBusyIndicator(true); });
        indicatorDelay_.start(kBusyIndicatorDelayMs);
    }
    ~BusyScope() {
        indicatorDelay_.stop();
        QApplication::restoreOverrideCursor();
        sheet_.SetBusy(false);
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    ui::PropertySheet& sheet_;
    QTimer indicatorDelay_;
};

}  // namespace

int RunPrinterOperation(ui::PropertySheet& sheet, const std::function<int()>& operation) {
    // A page timer that runs an operation while another one is waited on
    // cannot wait in a loop of its own without the first one's end being
    // lost in it; it is rare enough to simply wait.
    if (sheet.IsBusy()) {
        return operation();
    }

    InputBlocker blocker;
    BusyScope busy(sheet);
    QEventLoop loop;
    Worker worker;
    worker.Start(operation, [&](int) { loop.quit(); });
    loop.exec();
    // The application's exit ends the loop as well.
    worker.Wait();
    if (const std::exception_ptr failure = worker.Failure()) {
        std::rethrow_exception(failure);
    }
    return worker.Result();
}

}  // namespace kpm::workflows
