// Good and bad alignment confirmation prints side by side (template 306).
#pragma once

#include "workflows/common/example_dialog.h"

class CPosExam2Dlg : public kpm::workflows::ExampleDialog {
    Q_OBJECT
public:
    explicit CPosExam2Dlg(CTovikSheet* sheet = nullptr, QWidget* parent = nullptr);
};
