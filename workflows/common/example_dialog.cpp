#include "workflows/common/example_dialog.h"

#include <utility>

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "ui/message_service.h"
#include "workflows/common/check_pictures.h"
#include "workflows/common/common_ids.h"

namespace kpm::workflows {

ExampleDialog::ExampleDialog(ExampleLayout layout, CTovikSheet* sheet, QWidget* parent)
    : ui::Dialog(layout.templateId, parent), layout_(std::move(layout)), sheet_(sheet) {}

int ExampleDialog::Open(ExampleDialog& dialog, CTovikSheet& sheet) {
    return dialog.DoModal(sheet.Messages());
}

void ExampleDialog::OnInitDialog() {
    QString title;
    if (LoadText(ids::IDS_TITLE, title) == 0) {
        setWindowTitle(title);
    }
    for (const ControlText& entry : layout_.texts) {
        SetControlText(Item(entry.control), entry.text);
    }
    SetControlText(Item(ids::IDC_CLOSE), ids::IDS_CLOSE);
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
