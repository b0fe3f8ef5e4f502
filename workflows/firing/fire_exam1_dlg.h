// The example of a firing check print (template 196): pattern 2 is the
// smoothest.
#pragma once

#include "workflows/common/example_dialog.h"

class CFireExam1Dlg : public kpm::workflows::ExampleDialog {
    Q_OBJECT
public:
    explicit CFireExam1Dlg(QWidget* parent = nullptr)
        : ExampleDialog({196, {{1098, 198}}, {}, {{1060, 193, 1098}}}, nullptr, parent) {}
};
