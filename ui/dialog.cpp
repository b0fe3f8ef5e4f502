#include "ui/dialog.h"

#include <QAbstractButton>
#include <QPushButton>

#include "ui/controls.h"
#include "ui/dialog_template.h"
#include "ui/message_service.h"

namespace ui {

Dialog::Dialog(int templateId, QWidget* parent)
    : QDialog(parent), DialogItems(this), templateId_(templateId) {
    setObjectName(QStringLiteral("dialog_%1").arg(templateId));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void Dialog::Create() {
    if (created_) {
        return;
    }
    created_ = true;
    if (!BuildDialogTemplate(templateId_, this)) {
        qWarning("dialog template %d is missing", templateId_);
    }
    // A dialog may have OK, Cancel, both or neither.
    if (auto* ok = qobject_cast<QAbstractButton*>(FindControl(this, kIdOk))) {
        connect(ok, &QAbstractButton::clicked, this, [this] { done(kIdOk); });
        if (auto* push = qobject_cast<QPushButton*>(ok)) {
            push->setDefault(true);
        }
    }
    if (auto* cancel = qobject_cast<QAbstractButton*>(FindControl(this, kIdCancel))) {
        connect(cancel, &QAbstractButton::clicked, this, [this] { done(kIdCancel); });
    }
    OnInitDialog();
}

int Dialog::DoModal(MessageService& messages) {
    Create();
    return messages.RunModal(*this);
}

void Dialog::showEvent(QShowEvent* event) {
    Create();
    QDialog::showEvent(event);
}

}  // namespace ui
