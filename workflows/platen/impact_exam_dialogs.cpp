#include "workflows/platen/impact_exam_dialogs.h"

#include "workflows/platen/platen_ids.h"

using namespace kpm::ids;
using namespace kpm::workflows;

// Each picture is named for screen readers by the text that explains it.
CImpactExam1Dlg::CImpactExam1Dlg(QWidget* parent)
    : ExampleDialog({IDD_IMPACT_EXAM1,
                     {{IDC_IMPACT_EXAM1_TEXT, IDS_IMPACT_PRINT_EXAMPLE}},
                     {},
                     {{IDC_IMPACT_EXAM1_FWD, IDB_FEEDING_FWD_PLUS4, IDC_IMPACT_EXAM1_TEXT},
                      {IDC_IMPACT_EXAM1_RVS, IDB_FEEDING_RVS_MINUS5, IDC_IMPACT_EXAM1_TEXT}}},
                    nullptr, parent) {}

CImpactExam2Dlg::CImpactExam2Dlg(CTovikSheet* sheet, QWidget* parent)
    : ExampleDialog(
          {IDD_IMPACT_EXAM2,
           {{IDC_IMPACT_EXAM2_GOOD_CAPTION, IDS_GOOD_EXAMPLE},
            {IDC_IMPACT_EXAM2_GOOD_TEXT, IDS_IMPACT_GOOD_EXAMPLE},
            {IDC_IMPACT_EXAM2_BAD_CAPTION, IDS_BAD_EXAMPLE},
            {IDC_IMPACT_EXAM2_BAD_TEXT, IDS_IMPACT_BAD_EXAMPLE}},
           {IDC_IMPACT_EXAM2_GOOD_CAPTION, IDC_IMPACT_EXAM2_BAD_CAPTION},
           {{IDC_IMPACT_EXAM2_GOOD_FWD, IDB_FEEDING_FWD_ZERO, IDC_IMPACT_EXAM2_GOOD_TEXT},
            {IDC_IMPACT_EXAM2_GOOD_RVS, IDB_FEEDING_RVS_PLUS1, IDC_IMPACT_EXAM2_GOOD_TEXT},
            {IDC_IMPACT_EXAM2_BAD_FWD, IDB_FEEDING_FWD_PLUS3, IDC_IMPACT_EXAM2_BAD_TEXT},
            {IDC_IMPACT_EXAM2_BAD_RVS, IDB_FEEDING_RVS_MINUS3, IDC_IMPACT_EXAM2_BAD_TEXT}}},
          sheet, parent) {}
