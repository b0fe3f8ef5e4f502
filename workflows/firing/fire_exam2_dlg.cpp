#include "workflows/firing/fire_exam2_dlg.h"

#include "app/tovik_sheet.h"

CFireExam2Dlg::CFireExam2Dlg(CTovikSheet* sheet, QWidget* parent)
    : ExampleDialog({197,
                     {{1104, 202}, {1099, 204}, {1105, 203}, {1103, 205}},
                     {1104, 1105},
                     {{1290, 194, 1099}, {1291, 195, 1103}}},
                    sheet, parent != nullptr ? parent : sheet) {}
