#include "workflows/alignment/pos_exam2_dlg.h"

#include "app/tovik_sheet.h"

CPosExam2Dlg::CPosExam2Dlg(CTovikSheet* sheet, QWidget* parent)
    : ExampleDialog({306,
                     {{1252, 202}, {1246, 302}, {1253, 203}, {1254, 303}},
                     {1252, 1253},
                     {{1290, 303, 1246}, {1291, 302, 1254}}},
                    sheet, parent != nullptr ? parent : sheet) {}
