#include "ui/ip_address_edit.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace ui {

IpAddressEdit::IpAddressEdit(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        auto* field = new QLineEdit(this);
        // A pattern, not QIntValidator: that one lets 300 stand as
        // "intermediate" input.
        field->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9]")),
            field));
        field->setMaxLength(3);
        field->setAlignment(Qt::AlignCenter);
        const int width = field->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12;
        field->setMinimumWidth(width);
        field->setMaximumWidth(width * 2);
        field->installEventFilter(this);
        connect(field, &QLineEdit::textEdited, this, [this, i](const QString& text) {
            if (text.size() == 3 && i + 1 < fields_.size()) {
                fields_[i + 1]->setFocus();
                fields_[i + 1]->selectAll();
            }
        });
        connect(field, &QLineEdit::textChanged, this, &IpAddressEdit::AddressChanged);
        layout->addWidget(field);
        fields_[i] = field;
        if (i + 1 < fields_.size()) {
            auto* dot = new QLabel(QStringLiteral("."), this);
            dot->setAccessibleName(QString());
            layout->addWidget(dot);
        }
    }
    layout->addStretch(1);
    setFocusProxy(fields_[0]);
    UpdateAccessibleNames();
}

void IpAddressEdit::SetAddress(std::uint32_t address) {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        fields_[i]->setText(QString::number((address >> (24 - 8 * i)) & 0xFF));
    }
}

std::uint32_t IpAddressEdit::Address() const {
    std::uint32_t address = 0;
    for (const QLineEdit* field : fields_) {
        address = (address << 8) | (field->text().toUInt() & 0xFF);
    }
    return address;
}

bool IpAddressEdit::IsBlank() const {
    for (const QLineEdit* field : fields_) {
        if (!field->text().isEmpty()) {
            return false;
        }
    }
    return true;
}

void IpAddressEdit::Clear() {
    for (QLineEdit* field : fields_) {
        field->clear();
    }
}

bool IpAddressEdit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QWidget::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (watched != fields_[i]) {
            continue;
        }
        if ((key->key() == Qt::Key_Period || key->text() == QLatin1String(".")) &&
            i + 1 < fields_.size()) {
            if (!fields_[i]->text().isEmpty()) {
                fields_[i + 1]->setFocus();
                fields_[i + 1]->selectAll();
            }
            return true;
        }
        if (key->key() == Qt::Key_Backspace && fields_[i]->text().isEmpty() && i > 0) {
            fields_[i - 1]->setFocus();
            fields_[i - 1]->end(false);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void IpAddressEdit::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    UpdateAccessibleNames();
}

// A screen reader names each field after the whole entry and its place in it.
void IpAddressEdit::UpdateAccessibleNames() {
    QString base = accessibleName();
    if (base.isEmpty()) {
        // Named by its buddy label, as Qt names a plain edit.
        for (const QLabel* label : window()->findChildren<QLabel*>()) {
            if (label->buddy() == this) {
                base = label->text().remove(QLatin1Char('&')).trimmed();
                break;
            }
        }
    }
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const QString place = QStringLiteral("%1/4").arg(i + 1);
        fields_[i]->setAccessibleName(base.isEmpty() ? place : base + QLatin1Char(' ') + place);
    }
}

}  // namespace ui
