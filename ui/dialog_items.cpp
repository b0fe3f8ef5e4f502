#include "ui/dialog_items.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QWidget>

#include "ui/accessibility.h"
#include "ui/controls.h"
#include "ui/ip_address_edit.h"
#include "ui/property_sheet.h"

namespace ui {

DialogItems::DialogItems(QWidget* root) : root_(root) {
    // The accessibility actions of check boxes and radio buttons must click
    // them, or OnClicked would miss the choices made through them.
    InstallAccessibleControls();
}

MissingControl::MissingControl(int id, const QString& templateName)
    : std::logic_error(
          QStringLiteral("control %1 is not in %2").arg(id).arg(templateName).toStdString()),
      id_(id) {}

QWidget* DialogItems::Item(int id) const {
    QWidget* item = FindControl(root_, id);
    if (item == nullptr) {
        ReportMissing(id);
    }
    return item;
}

void DialogItems::ReportMissing(int id) const {
    // The form a template is built into is named after it.
    for (const QObject* child : root_->children()) {
        if (child->isWidgetType() && child->objectName().startsWith(QLatin1String("template_"))) {
#ifndef NDEBUG
            throw MissingControl(id, child->objectName());
#else
            qWarning("control %d is not in %s", id, qPrintable(child->objectName()));
            return;
#endif
        }
    }
}

void DialogItems::SetItemText(int id, const QString& text) {
    if (QWidget* item = Item(id)) {
        SetWindowText(item, text);
    }
}

QString DialogItems::ItemText(int id) const {
    return WindowText(Item(id));
}

void DialogItems::ShowItem(int id, bool show) {
    if (QWidget* item = Item(id)) {
        item->setVisible(show);
    }
}

void DialogItems::EnableItem(int id, bool enable) {
    if (QWidget* item = Item(id)) {
        item->setEnabled(enable);
    }
}

bool DialogItems::IsItemVisible(int id) const {
    const QWidget* item = Item(id);
    return item != nullptr && !item->isHidden();
}

bool DialogItems::IsItemEnabled(int id) const {
    const QWidget* item = Item(id);
    return item != nullptr && item->isEnabled();
}

bool DialogItems::IsItemChecked(int id) const {
    const auto* button = ItemAs<QAbstractButton>(id);
    return button != nullptr && button->isChecked();
}

void DialogItems::CheckItem(int id, bool checked) {
    auto* button = ItemAs<QAbstractButton>(id);
    if (button == nullptr) {
        return;
    }
    if (!checked && button->autoExclusive()) {
        // Qt keeps one radio of a group checked; a dialog may clear them all.
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(true);
        return;
    }
    button->setChecked(checked);
}

void DialogItems::CheckRadio(int first, int last, int id) {
    for (int other = first; other <= last; ++other) {
        if (other != id && FindControl(root_, other) != nullptr) {
            CheckItem(other, false);
        }
    }
    CheckItem(id, true);
}

int DialogItems::SelectedIndex(int id) const {
    const auto* combo = ItemAs<QComboBox>(id);
    return combo != nullptr ? combo->currentIndex() : -1;
}

void DialogItems::SelectIndex(int id, int index) {
    if (auto* combo = ItemAs<QComboBox>(id)) {
        combo->setCurrentIndex(index < combo->count() ? index : -1);
    }
}

void DialogItems::OnClicked(int id, std::function<void()> handler) {
    if (auto* button = ItemAs<QAbstractButton>(id)) {
        // Mouse and keys do not reach a busy sheet, but a button pressed
        // through the accessibility bus still clicks; its command ("Browse...",
        // a modal box) must not run inside the sheet's wait.
        QObject::connect(button, &QAbstractButton::clicked, button,
                         [button, handler = std::move(handler)] {
                             if (!PropertySheet::IsInBusySheet(button)) {
                                 handler();
                             }
                         });
    }
}

void DialogItems::OnSelChange(int id, std::function<void()> handler) {
    if (auto* combo = ItemAs<QComboBox>(id)) {
        // Only the user's choice notifies, as a list box's selection change
        // does; the page's own SelectIndex does not.
        QObject::connect(combo, &QComboBox::activated, combo,
                         [handler = std::move(handler)](int) { handler(); });
    }
}

void DialogItems::OnEditChange(int id, std::function<void()> handler) {
    QWidget* item = Item(id);
    if (auto* edit = qobject_cast<QLineEdit*>(item)) {
        QObject::connect(edit, &QLineEdit::textChanged, edit,
                         [handler = std::move(handler)](const QString&) { handler(); });
    } else if (auto* ip = qobject_cast<IpAddressEdit*>(item)) {
        QObject::connect(ip, &IpAddressEdit::AddressChanged, ip,
                         [handler = std::move(handler)] { handler(); });
    }
}

}  // namespace ui
