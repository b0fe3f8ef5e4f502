// A modal dialog built from its dialog template. The template's OK button is
// control 1 and Cancel control 2, as in the templates of the Windows tool;
// either ends the dialog with its id. Run it through the MessageService so
// tests can answer it without a window.
#pragma once

#include <QDialog>

#include "ui/dialog_items.h"

namespace ui {

class MessageService;

class Dialog : public QDialog, public DialogItems {
    Q_OBJECT
public:
    explicit Dialog(int templateId, QWidget* parent = nullptr);

    int TemplateId() const { return templateId_; }
    // Builds the controls and runs OnInitDialog once; DoModal does it.
    void Create();
    int DoModal(MessageService& messages);

protected:
    virtual void OnInitDialog() {}
    void showEvent(QShowEvent* event) override;

private:
    int templateId_;
    bool created_ = false;
};

}  // namespace ui
