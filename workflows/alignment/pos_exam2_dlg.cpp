#include "workflows/alignment/pos_exam2_dlg.h"

#include "app/tovik_sheet.h"
#include "workflows/alignment/alignment_ids.h"

using namespace kpm::ids;

CPosExam2Dlg::CPosExam2Dlg(CTovikSheet* sheet, QWidget* parent)
    : ExampleDialog({IDD_POS_EXAM2,
                     {{IDC_POS_EXAM2_GOOD_CAPTION, IDS_GOOD_EXAMPLE},
                      {IDC_POS_EXAM2_GOOD_TEXT, IDS_POS_GOOD_EXAMPLE},
                      {IDC_POS_EXAM2_BAD_CAPTION, IDS_BAD_EXAMPLE},
                      {IDC_POS_EXAM2_BAD_TEXT, IDS_POS_BAD_EXAMPLE}},
                     {IDC_POS_EXAM2_GOOD_CAPTION, IDC_POS_EXAM2_BAD_CAPTION},
                     {{IDC_POS_EXAM2_GOOD_PICTURE, IDB_MATRIX_AT_0_0, IDC_POS_EXAM2_GOOD_TEXT},
                      {IDC_POS_EXAM2_BAD_PICTURE, IDB_MATRIX_AT_1_MINUS2, IDC_POS_EXAM2_BAD_TEXT}}},
                    sheet, parent != nullptr ? parent : sheet) {}
