// Good and bad firing confirmation prints (template 197). With the sheet,
// the two captions take its semi-bold font.
#pragma once

#include "workflows/common/example_dialog.h"

class CFireExam2Dlg : public kpm::workflows::ExampleDialog {
    Q_OBJECT
public:
    explicit CFireExam2Dlg(CTovikSheet* sheet = nullptr, QWidget* parent = nullptr);
};
