#include "workflows/common/printer_operation.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWindow>

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
        case QEvent::InputMethod:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::ContextMenu:
        case QEvent::Close:
            return true;
        default:
            return false;
    }
}

// Swallows the user's input to the sheet's window while it lives. Any other
// window keeps its input: should a menu or a dialog open during the wait
// all the same, the wait cannot end before its modal loop does, so it must
// stay possible to close it.
class InputBlocker : public QObject {
public:
    explicit InputBlocker(const QWidget& window) : window_(window) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~InputBlocker() override { QCoreApplication::instance()->removeEventFilter(this); }
    InputBlocker(const InputBlocker&) = delete;
    InputBlocker& operator=(const InputBlocker&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        return IsUserInput(event->type()) && AimsAtTheWindow(watched);
    }

private:
    // Widgets by their window, the window system's window itself, and other
    // receivers (a QShortcut, an action) by the widget they belong to.
    bool AimsAtTheWindow(const QObject* receiver) const {
        if (receiver != nullptr && receiver->isWindowType()) {
            return receiver == window_.windowHandle();
        }
        for (const QObject* o = receiver; o != nullptr; o = o->parent()) {
            if (o->isWidgetType()) {
                return static_cast<const QWidget*>(o)->window() == &window_;
            }
        }
        return false;
    }

    const QWidget& window_;
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

    InputBlocker blocker(sheet);
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
