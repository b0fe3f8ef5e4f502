// The example of an alignment check print (template 304): the square with
// no background white showing.
#pragma once

#include "workflows/common/example_dialog.h"

class CPosExam1Dlg : public kpm::workflows::ExampleDialog {
    Q_OBJECT
public:
    explicit CPosExam1Dlg(QWidget* parent = nullptr)
        : ExampleDialog({304, {{1245, 301}}, {}, {{1060, 302, 1245}}}, nullptr, parent) {}
};
