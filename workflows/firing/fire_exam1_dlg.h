// The example of a firing check print (template 196): pattern 2 is the
// smoothest.
#pragma once

#include "workflows/common/example_dialog.h"
#include "workflows/firing/firing_ids.h"

class CFireExam1Dlg : public kpm::workflows::ExampleDialog {
    Q_OBJECT
public:
    explicit CFireExam1Dlg(QWidget* parent = nullptr)
        : ExampleDialog({kpm::ids::IDD_FIRE_EXAM1,
                         {{kpm::ids::IDC_FIRE_EXAM1_TEXT, kpm::ids::IDS_FIRE_PRINT_EXAMPLE}},
                         {},
                         {{kpm::ids::IDC_PICTURE, kpm::ids::IDB_FIRING_STEP2_EVEN,
                           kpm::ids::IDC_FIRE_EXAM1_TEXT}}},
                        nullptr, parent) {}
};
