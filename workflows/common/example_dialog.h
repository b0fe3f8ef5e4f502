// "See the print example ...": a modal dialog with pictures of good and bad
// prints of a check pattern, each with its caption and explanation, and a
// "Close" button (the dialog's OK, control 1).
#pragma once

#include <vector>

#include "ui/dialog.h"
#include "workflows/common/step_page.h"

class CTovikSheet;

namespace kpm::workflows {

// A picture control, the check picture it shows, and the text control
// whose (translated) text names the picture for screen readers (0: the
// picture's own description).
struct ControlPicture {
    int control;
    int picture;
    int namedBy = 0;
};

struct ExampleLayout {
    int templateId;
    std::vector<ControlText> texts;
    // In the sheet's semi-bold caption font when the dialog has the sheet.
    std::vector<int> captions;
    std::vector<ControlPicture> pictures;
};

class ExampleDialog : public ui::Dialog {
    Q_OBJECT
public:
    // `sheet` only lends its fonts; without it the captions keep the
    // dialog's own font.
    explicit ExampleDialog(ExampleLayout layout, CTovikSheet* sheet = nullptr,
                           QWidget* parent = nullptr);

    // Runs the dialog modally over `sheet` through its message service.
    static int Open(ExampleDialog& dialog, CTovikSheet& sheet);

protected:
    void OnInitDialog() override;

private:
    ExampleLayout layout_;
    CTovikSheet* sheet_;
};

}  // namespace kpm::workflows
