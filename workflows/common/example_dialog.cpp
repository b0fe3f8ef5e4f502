#include "workflows/common/example_dialog.h"

#include <utility>

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "ui/message_service.h"
#include "workflows/common/check_pictures.h"

namespace kpm::workflows {

namespace {
constexpr int kTitleText = 102;
}

ExampleDialog::ExampleDialog(ExampleLayout layout, CTovikSheet* sheet, QWidget* parent)
    : ui::Dialog(layout.templateId, parent), layout_(std::move(layout)), sheet_(sheet) {}

int ExampleDialog::Open(ExampleDialog& dialog, CTovikSheet& sheet) {
    return dialog.DoModal(sheet.Messages());
}

void ExampleDialog::OnInitDialog() {
    QString title;
    if (LoadText(kTitleText, title) == 0) {
        setWindowTitle(title);
    }
    for (const ControlText& entry : layout_.texts) {
        SetControlText(Item(entry.control), entry.text);
    }
    SetControlText(Item(ui::kIdOk), kCloseText);
    if (sheet_ != nullptr) {
        for (int caption : layout_.captions) {
            if (QWidget* control = Item(caption)) {
                sheet_->SetBoldFont(control);
            }
        }
    }
    for (const ControlPicture& entry : layout_.pictures) {
        ShowCheckPicture(*this, entry.control, entry.picture);
        QWidget* picture = Item(entry.control);
        if (entry.namedBy != 0 && picture != nullptr) {
            picture->setAccessibleDescription(picture->accessibleName());
            picture->setAccessibleName(ItemText(entry.namedBy));
        }
    }
}

}  // namespace kpm::workflows
