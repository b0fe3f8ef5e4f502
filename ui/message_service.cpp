#include "ui/message_service.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

#include <memory>

namespace ui {

QMessageBox* QtMessageService::BuildMessageBox(const MessageBoxRequest& request, QWidget* parent) {
    auto* result = new QMessageBox(parent);
    QMessageBox& box = *result;
    box.setWindowTitle(request.caption);
    box.setText(request.text);
    box.setTextFormat(Qt::PlainText);
    switch (request.icon) {
        case MessageIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case MessageIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageIcon::Stop:
            box.setIcon(QMessageBox::Critical);
            break;
        case MessageIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
    }
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    if (!request.okText.isEmpty()) {
        ok->setText(request.okText);
    }
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    return result;
}

int QtMessageService::ShowMessageBox(const MessageBoxRequest& request) {
    QWidget* owner = request.owner != nullptr ? request.owner : QApplication::activeWindow();
    std::unique_ptr<QMessageBox> box(BuildMessageBox(request, owner));
    box->exec();
    return kIdOk;
}

int QtMessageService::RunModal(QDialog& dialog) {
    return dialog.exec();
}

}  // namespace ui
