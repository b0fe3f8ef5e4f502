#include "ui/accessibility.h"

#include <QAccessibleWidget>
#include <QCheckBox>
#include <QKeySequence>
#include <QMenu>
#include <QRadioButton>
#include <QToolButton>

#include "ui/property_sheet.h"

namespace ui {

namespace {

QString NameOf(const QAbstractButton* button) {
    const QString name = button->accessibleName();
    return name.isEmpty() ? AccessibleText(button->text()) : name;
}

// Qt's own interface toggles the state without a click, so whatever
// listens for clicks never hears of the user's choice. This one clicks.
class CheckableButtonAccessible : public QAccessibleWidget {
public:
    CheckableButtonAccessible(QAbstractButton* button, QAccessible::Role role)
        : QAccessibleWidget(button, role) {}

    QString text(QAccessible::Text t) const override {
        QString text;
        if (t == QAccessible::Name) {
            text = NameOf(Button());
        } else if (t == QAccessible::Accelerator) {
            text = QKeySequence::mnemonic(Button()->text()).toString(QKeySequence::NativeText);
        }
        return text.isEmpty() ? QAccessibleWidget::text(t) : text;
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.pressed = Button()->isDown();
        state.checked = Button()->isChecked();
        if (const auto* box = qobject_cast<const QCheckBox*>(Button())) {
            state.checkStateMixed = box->checkState() == Qt::PartiallyChecked;
        }
        return state;
    }

    QStringList actionNames() const override {
        QStringList names;
        if (widget()->isEnabled()) {
            names << toggleAction();
            if (role() == QAccessible::CheckBox) {
                names << pressAction();
            }
        }
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& name) override {
        if (name == toggleAction() || name == pressAction()) {
            // While the sheet waits, a choice would change the control
            // without its page hearing of it (OnClicked does nothing then).
            if (widget()->isEnabled() && !PropertySheet::IsInBusySheet(widget())) {
                Button()->click();
            }
            return;
        }
        QAccessibleWidget::doAction(name);
    }

    QStringList keyBindingsForAction(const QString& name) const override {
        if (name == toggleAction() || name == pressAction()) {
            const QKeySequence key = QKeySequence::mnemonic(Button()->text());
            return key.isEmpty() ? QStringList() : QStringList{key.toString()};
        }
        return QAccessibleWidget::keyBindingsForAction(name);
    }

private:
    QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }
};

// Qt's interface of such a button has no children: its menu is a window of
// its own that exists for a screen reader only while it is open.
class MenuButtonAccessible : public QAccessibleWidget {
public:
    explicit MenuButtonAccessible(QToolButton* button)
        : QAccessibleWidget(button, QAccessible::ButtonMenu) {}

    QString text(QAccessible::Text t) const override {
        const QString text = t == QAccessible::Name ? NameOf(Button()) : QString();
        return text.isEmpty() ? QAccessibleWidget::text(t) : text;
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.hasPopup = true;
        state.pressed = Button()->isDown();
        return state;
    }

    int childCount() const override { return Menu() != nullptr ? 1 : 0; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 && Menu() != nullptr ? QAccessible::queryAccessibleInterface(Menu())
                                               : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child != nullptr && Menu() != nullptr && child->object() == Menu() ? 0 : -1;
    }

    QStringList actionNames() const override {
        QStringList names;
        if (CanOpen()) {
            names << showMenuAction() << pressAction();
        }
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& name) override {
        if (name == showMenuAction() || name == pressAction()) {
            // The menu runs a loop of its own; the caller (a screen reader
            // waiting for its answer) must not wait for the menu to close.
            if (CanOpen()) {
                QMetaObject::invokeMethod(Button(), &QToolButton::showMenu, Qt::QueuedConnection);
            }
            return;
        }
        QAccessibleWidget::doAction(name);
    }

private:
    QToolButton* Button() const { return static_cast<QToolButton*>(widget()); }
    QMenu* Menu() const { return Button()->menu(); }
    // Not while the sheet waits: the menu's loop would run inside the wait.
    bool CanOpen() const {
        return widget()->isEnabled() && !PropertySheet::IsInBusySheet(widget());
    }
};

QAccessibleInterface* CreateInterface(const QString& className, QObject* object) {
    if (className == QLatin1String("QRadioButton")) {
        return new CheckableButtonAccessible(static_cast<QRadioButton*>(object),
                                             QAccessible::RadioButton);
    }
    if (className == QLatin1String("QCheckBox")) {
        return new CheckableButtonAccessible(static_cast<QCheckBox*>(object),
                                             QAccessible::CheckBox);
    }
    if (className == QLatin1String("QToolButton")) {
        auto* button = static_cast<QToolButton*>(object);
        if (button->menu() != nullptr && button->popupMode() == QToolButton::InstantPopup) {
            return new MenuButtonAccessible(button);
        }
    }
    return nullptr;  // Qt's own interface
}

}  // namespace

void InstallAccessibleControls() {
    static const bool installed = [] {
        QAccessible::installFactory(&CreateInterface);
        return true;
    }();
    (void)installed;
}

QString AccessibleText(const QString& text) {
    QString spoken;
    spoken.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('&')) {
            spoken += c;
        } else if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('&')) {
            spoken += c;
            ++i;
        } else if (!spoken.isEmpty() && spoken.back() == QLatin1Char('(') && i + 2 < text.size() &&
                   text.at(i + 2) == QLatin1Char(')')) {
            // A mnemonic of its own in parentheses, as the Asian texts have
            // them: "Yes(&Y)" is read as "Yes".
            spoken.chop(1);
            i += 2;
        }
    }
    return spoken;
}

}  // namespace ui
