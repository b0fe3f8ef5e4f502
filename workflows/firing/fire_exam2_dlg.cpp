#include "workflows/firing/fire_exam2_dlg.h"

#include "app/tovik_sheet.h"
#include "workflows/firing/firing_ids.h"

using namespace kpm::ids;

CFireExam2Dlg::CFireExam2Dlg(CTovikSheet* sheet, QWidget* parent)
    : ExampleDialog(
          {IDD_FIRE_EXAM2,
           {{IDC_FIRE_EXAM2_GOOD_CAPTION, IDS_GOOD_EXAMPLE},
            {IDC_FIRE_EXAM2_GOOD_TEXT, IDS_FIRE_GOOD_EXAMPLE},
            {IDC_FIRE_EXAM2_BAD_CAPTION, IDS_BAD_EXAMPLE},
            {IDC_FIRE_EXAM2_BAD_TEXT, IDS_FIRE_BAD_EXAMPLE}},
           {IDC_FIRE_EXAM2_GOOD_CAPTION, IDC_FIRE_EXAM2_BAD_CAPTION},
           {{IDC_FIRE_EXAM2_GOOD_PICTURE, IDB_FIRING_STEP5_EVEN, IDC_FIRE_EXAM2_GOOD_TEXT},
            {IDC_FIRE_EXAM2_BAD_PICTURE, IDB_FIRING_STEP8_BROKEN, IDC_FIRE_EXAM2_BAD_TEXT}}},
          sheet, parent != nullptr ? parent : sheet) {}
