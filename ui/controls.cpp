#include "ui/controls.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace ui {

QString ControlName(int id) {
    return QStringLiteral("ctl_%1").arg(id);
}

int ControlId(const QWidget* control) {
    if (control == nullptr) {
        return -1;
    }
    const QString name = control->objectName();
    if (!name.startsWith(QLatin1String("ctl_"))) {
        return -1;
    }
    bool ok = false;
    const int id = name.mid(4).toInt(&ok);
    return ok ? id : -1;
}

QWidget* FindControl(const QWidget* root, int id) {
    if (root == nullptr) {
        return nullptr;
    }
    return root->findChild<QWidget*>(ControlName(id));
}

void SetWindowText(QWidget* control, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setTextFormat(Qt::PlainText);
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        combo->setCurrentIndex(combo->findText(text));
    } else if (control != nullptr) {
        control->setWindowTitle(text);
    }
}

QString WindowText(const QWidget* control) {
    if (auto* label = qobject_cast<const QLabel*>(control)) {
        return label->text();
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) {
        return button->text();
    }
    if (auto* edit = qobject_cast<const QLineEdit*>(control)) {
        return edit->text();
    }
    if (auto* group = qobject_cast<const QGroupBox*>(control)) {
        return group->title();
    }
    if (auto* combo = qobject_cast<const QComboBox*>(control)) {
        return combo->currentText();
    }
    return control != nullptr ? control->windowTitle() : QString();
}

int AddComboItem(QComboBox* combo, const QString& text, std::uint32_t value) {
    int index = combo->count();
    if (combo->property("sorted").toBool()) {
        // A list whose template asks for sorting keeps its entries in order.
        index = 0;
        while (index < combo->count() &&
               QString::compare(combo->itemText(index), text, Qt::CaseInsensitive) <= 0) {
            ++index;
        }
    }
    combo->insertItem(index, text, QVariant::fromValue<quint32>(value));
    return index;
}

std::uint32_t ComboItemValue(const QComboBox* combo, int index) {
    return combo->itemData(index).value<quint32>();
}

}  // namespace ui
