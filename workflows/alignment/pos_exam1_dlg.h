// The example of an alignment check print (template 304): the square with
// no background white showing.
#pragma once

#include "workflows/alignment/alignment_ids.h"
#include "workflows/common/example_dialog.h"

class CPosExam1Dlg : public kpm::workflows::ExampleDialog {
    Q_OBJECT
public:
    explicit CPosExam1Dlg(QWidget* parent = nullptr)
        : ExampleDialog({kpm::ids::IDD_POS_EXAM1,
                         {{kpm::ids::IDC_POS_EXAM1_TEXT, kpm::ids::IDS_POS_PRINT_EXAMPLE}},
                         {},
                         {{kpm::ids::IDC_PICTURE, kpm::ids::IDB_MATRIX_AT_1_MINUS2,
                           kpm::ids::IDC_POS_EXAM1_TEXT}}},
                        nullptr, parent) {}
};
