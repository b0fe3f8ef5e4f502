// Where the keyboard focus starts on a page: on its first control that
// takes input, never on a button of the sheet, so that the first Space or
// Enter of a keyboard user does not end the wizard.
#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace ui {

// The first control of `page` in the tab order that takes input (an edit,
// a list, a check box, the checked radio button of a group, ...); a push
// button only when the page has none of those. With `enabledOnly` false a
// control that is disabled at the moment counts too. nullptr for a page
// without any control that takes the focus.
QWidget* FirstInputControl(const QWidget* page, bool enabledOnly = true);

// Gives a page's first input control the focus, or the page itself when it
// has none. A control that the page keeps disabled for a moment (while it
// looks something up) gets the focus when it is enabled, unless the user
// has begun to work on the page meanwhile.
class FirstFocus : public QObject {
public:
    using QObject::QObject;

    void Give(QWidget* page);
    // Forgets a control still waiting to be enabled.
    void Cancel();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> wanted_;
    QPointer<QWidget> standIn_;
};

}  // namespace ui
