// "See the print example ..." of the banding phase: the smoothest bands of
// a first print (step 4), and good and bad reprints (step 6).
#pragma once

#include "workflows/common/example_dialog.h"

class CImpactExam1Dlg : public kpm::workflows::ExampleDialog {
    Q_OBJECT
public:
    explicit CImpactExam1Dlg(QWidget* parent = nullptr);
};

// With the sheet, its "Good example :" and "Bad example :" are captions.
class CImpactExam2Dlg : public kpm::workflows::ExampleDialog {
    Q_OBJECT
public:
    explicit CImpactExam2Dlg(CTovikSheet* sheet = nullptr, QWidget* parent = nullptr);
};
