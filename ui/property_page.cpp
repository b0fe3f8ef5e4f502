#include "ui/property_page.h"

#include <QDebug>

#include "ui/dialog_template.h"
#include "ui/property_sheet.h"

namespace ui {

PropertyPage::PropertyPage(int templateId, QWidget* parent)
    : QWidget(parent),
      DialogItems(this),
      templateId_(templateId),
      timers_(this, [this](int id) { OnTimer(id); }) {
    setObjectName(QStringLiteral("page_%1").arg(templateId));
}

void PropertyPage::Create() {
    if (created_) {
        return;
    }
    created_ = true;
    if (!BuildDialogTemplate(templateId_, this)) {
        qWarning("dialog template %d is missing; the page stays empty", templateId_);
    }
    OnInitDialog();
}

void PropertyPage::SetConsumesEnter(bool consumes) {
    consumesEnter_ = consumes;
    if (sheet_ != nullptr && sheet_->GetActivePage() == this) {
        sheet_->UpdateDefaultButton();
    }
}

}  // namespace ui
