// Everything that opens a window of its own and waits for the user goes
// through one service: message boxes and modal dialogs. The application uses
// the Qt service; tests put a recorder in its place that answers at once, so
// no test ever waits on a window.
#pragma once

#include <QString>

class QDialog;
class QMessageBox;
class QWidget;

namespace ui {

enum class MessageIcon { None, Exclamation, Stop, Information };

// Button ids as the dialogs return them.
enum DialogResult { kIdOk = 1, kIdCancel = 2 };

struct MessageBoxRequest {
    QWidget* owner = nullptr;  // the window it is modal to, or none
    QString caption;
    QString text;
    MessageIcon icon = MessageIcon::None;
    QString okText;  // the OK button's text in the wizard's language
};

class MessageService {
public:
    virtual ~MessageService() = default;
    // Shows a message box with an OK button; returns the button pressed.
    virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;
    // Runs a dialog modally; returns its result (kIdOk, kIdCancel, ...).
    virtual int RunModal(QDialog& dialog) = 0;
};

// The real windows.
class QtMessageService : public MessageService {
public:
    // The box ShowMessageBox shows, unshown (for pictures of it, too).
    static QMessageBox* BuildMessageBox(const MessageBoxRequest& request, QWidget* parent);

    int ShowMessageBox(const MessageBoxRequest& request) override;
    int RunModal(QDialog& dialog) override;
};

}  // namespace ui
