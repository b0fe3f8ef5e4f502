#include "workflows/platen/impact_exam_dialogs.h"

#include "workflows/platen/platen_ids.h"

using namespace kpm::workflows;
using namespace kpm::workflows::platen;

// Picture 27N is in control 127N, named for screen readers by the text
// that explains it.
CImpactExam1Dlg::CImpactExam1Dlg(QWidget* parent)
    : ExampleDialog({kExam1, {{1183, 267}}, {}, {{1270, 270, 1183}, {1271, 271, 1183}}}, nullptr,
                    parent) {}

CImpactExam2Dlg::CImpactExam2Dlg(CTovikSheet* sheet, QWidget* parent)
    : ExampleDialog({kExam2,
                     {{1184, 202}, {1185, 264}, {1187, 203}, {1186, 265}},
                     {1184, 1187},
                     {{1274, 274, 1185}, {1276, 276, 1185}, {1272, 272, 1186}, {1273, 273, 1186}}},
                    sheet, parent) {}
