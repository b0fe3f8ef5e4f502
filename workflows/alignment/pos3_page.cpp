#include "workflows/alignment/pos3_page.h"

using namespace kpm::ids;

CPos3Page::CPos3Page()
    : StepPage({IDD_POS3,
                {{IDC_POS3_CAPTION, IDS_STEP2},
                 {IDC_POS3_TITLE, IDS_PATTERN_WILL_BE_PRINTED},
                 {IDC_POS3_PANEL, IDS_POS_PANEL},
                 {IDC_POS3_AFTER_PRINTING, IDS_AFTER_PRINTING}},
                {IDC_POS3_CAPTION}}) {}

bool CPos3Page::OnSetActive() {
    StepPage::OnSetActive();
    ShowPicture(IDB_PANEL_ALIGNMENT);
    return true;
}
