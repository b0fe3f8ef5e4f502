#include "ui/char_filter.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

namespace ui {

namespace {

class CharacterFilter : public QObject {
public:
    CharacterFilter(QObject* parent, std::function<bool(QChar)> allowed)
        : QObject(parent), allowed_(std::move(allowed)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) {
            return QObject::eventFilter(watched, event);
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (text.isEmpty() || key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete ||
            key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
            key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
            key->key() == Qt::Key_Escape) {
            return QObject::eventFilter(watched, event);
        }
        // With Ctrl held a key types a control character (Ctrl+V is U+0016),
        // whatever text the platform reports for it.
        const bool control = (key->modifiers() & Qt::ControlModifier) != 0;
        for (const QChar c : text) {
            if (control || !allowed_(c)) {
                // Swallowing the override keeps a shortcut from acting too.
                if (event->type() == QEvent::ShortcutOverride) {
                    event->accept();
                }
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<bool(QChar)> allowed_;
};

// The edit runs its validator on every change, whatever made it, and takes
// the text as the validator leaves it: the disallowed characters removed,
// the cursor moved back by those removed before it.
class CharacterValidator : public QValidator {
public:
    CharacterValidator(QObject* parent, std::function<bool(QChar)> allowed)
        : QValidator(parent), allowed_(std::move(allowed)) {}

    State validate(QString& input, int& pos) const override {
        qsizetype kept = 0;
        int removedBeforeCursor = 0;
        for (qsizetype i = 0; i < input.size(); ++i) {
            const QChar c = input.at(i);
            if (allowed_(c)) {
                input[kept++] = c;
            } else if (i < pos) {
                ++removedBeforeCursor;
            }
        }
        input.truncate(kept);
        pos -= removedBeforeCursor;
        return Acceptable;
    }

private:
    std::function<bool(QChar)> allowed_;
};

}  // namespace

void SetCharacterFilter(QLineEdit* edit, std::function<bool(QChar)> allowed) {
    edit->installEventFilter(new CharacterFilter(edit, allowed));
    edit->setValidator(new CharacterValidator(edit, std::move(allowed)));
}

}  // namespace ui
