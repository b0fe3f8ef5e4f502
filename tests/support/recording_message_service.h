// A message service that records every box and modal dialog instead of
// showing it, and answers at once.
#pragma once

#include <QDialog>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

#include "ui/message_service.h"

namespace testing_support {

class RecordingMessageService : public ui::MessageService {
public:
    struct Box {
        QString caption;
        QString text;
        ui::MessageIcon icon;
        QWidget* owner;
        QString okText;
    };

    int ShowMessageBox(const ui::MessageBoxRequest& request) override {
        boxes.push_back(
            {request.caption, request.text, request.icon, request.owner, request.okText});
        if (onBox) {
            onBox(boxes.back());
        }
        return ui::kIdOk;
    }

    int RunModal(QDialog& dialog) override {
        dialogs.push_back(dialog.objectName());
        return onModal ? onModal(dialog) : ui::kIdOk;
    }

    std::vector<Box> boxes;
    std::vector<QString> dialogs;  // object names, "dialog_<template id>"
    std::function<void(const Box&)> onBox;
    std::function<int(QDialog&)> onModal;
};

}  // namespace testing_support
