#include "ui/first_focus.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFocusEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QWidget>

namespace ui {

namespace {

bool TakesTabFocus(const QWidget* w, const QWidget* page, bool enabledOnly) {
    if (!page->isAncestorOf(w) || !w->isVisibleTo(page) || (enabledOnly && !w->isEnabled()) ||
        w->focusProxy() != nullptr) {
        return false;
    }
    // Qt takes Tab away from the radio buttons of a group but one; each of
    // them still leads to the chosen one.
    const auto* radio = qobject_cast<const QRadioButton*>(w);
    const Qt::FocusPolicy needed =
        radio != nullptr && radio->autoExclusive() ? Qt::ClickFocus : Qt::TabFocus;
    return (w->focusPolicy() & needed) == needed;
}

bool IsPushButton(const QWidget* w) {
    return qobject_cast<const QPushButton*>(w) != nullptr ||
           qobject_cast<const QToolButton*>(w) != nullptr;
}

// Within a group of radio buttons the focus belongs to the chosen one, as
// arrow keys move the choice from there.
QWidget* ChosenOfGroup(QRadioButton* radio, const QWidget* page, bool enabledOnly) {
    if (radio->isChecked() || !radio->autoExclusive()) {
        return radio;
    }
    QList<QAbstractButton*> group;
    if (radio->group() != nullptr) {
        group = radio->group()->buttons();
    } else if (radio->parentWidget() != nullptr) {
        for (QAbstractButton* b : radio->parentWidget()->findChildren<QAbstractButton*>()) {
            if (b->autoExclusive() && b->group() == nullptr) {
                group.push_back(b);
            }
        }
    }
    // Qt leaves Tab only to the radio of a group that last had the focus.
    for (QAbstractButton* b : group) {
        if (b->isChecked() && page->isAncestorOf(b) && b->isVisibleTo(page) &&
            (!enabledOnly || b->isEnabled())) {
            return b;
        }
    }
    return radio;
}

}  // namespace

QWidget* FirstInputControl(const QWidget* page, bool enabledOnly) {
    if (page == nullptr) {
        return nullptr;
    }
    QWidget* firstButton = nullptr;
    // The focus chain is one ring for the whole window.
    for (QWidget* w = page->nextInFocusChain(); w != nullptr && w != page;
         w = w->nextInFocusChain()) {
        if (!TakesTabFocus(w, page, enabledOnly)) {
            continue;
        }
        if (IsPushButton(w)) {
            if (firstButton == nullptr) {
                firstButton = w;
            }
            continue;
        }
        if (auto* radio = qobject_cast<QRadioButton*>(w)) {
            return ChosenOfGroup(radio, page, enabledOnly);
        }
        return w;
    }
    return firstButton;
}

void FirstFocus::Give(QWidget* page) {
    Cancel();
    if (page == nullptr) {
        return;
    }
    QWidget* first = FirstInputControl(page, true);
    QWidget* standIn = first != nullptr ? first : page;
    standIn->setFocus(Qt::TabFocusReason);
    QWidget* wanted = FirstInputControl(page, false);
    if (wanted != nullptr && wanted != first && !wanted->isEnabled()) {
        wanted_ = wanted;
        standIn_ = standIn;
        wanted->installEventFilter(this);
        standIn->installEventFilter(this);
    }
}

void FirstFocus::Cancel() {
    if (wanted_ != nullptr) {
        wanted_->removeEventFilter(this);
    }
    if (standIn_ != nullptr) {
        standIn_->removeEventFilter(this);
    }
    wanted_ = nullptr;
    standIn_ = nullptr;
}

bool FirstFocus::eventFilter(QObject* watched, QEvent* event) {
    if (watched == wanted_ && event->type() == QEvent::EnabledChange && wanted_->isEnabled()) {
        QWidget* wanted = wanted_;
        QWidget* standIn = standIn_;
        Cancel();
        QWidget* now = wanted->window()->focusWidget();
        if (now == nullptr || now == standIn) {
            wanted->setFocus(Qt::OtherFocusReason);
        }
    } else if (watched == standIn_) {
        switch (event->type()) {
            case QEvent::KeyPress:
            case QEvent::MouseButtonPress:
                Cancel();  // the user works where the focus is
                break;
            case QEvent::FocusOut: {
                // Another window taking the focus for a while is no reason.
                const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
                if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                    Cancel();
                }
                break;
            }
            default:
                break;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace ui
