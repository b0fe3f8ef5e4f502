#include "workflows/firing/fire3_page.h"

#include "app/texts.h"
#include "app/tovik_sheet.h"

using namespace kpm::ids;

CFire3Page::CFire3Page()
    : StepPage({IDD_FIRE3,
                {{IDC_FIRE3_CAPTION, IDS_STEP3},
                 {IDC_FIRE3_TITLE, IDS_PATTERN_WILL_BE_PRINTED},
                 {IDC_FIRE3_AFTER_PRINTING, IDS_AFTER_PRINTING}},
                {IDC_FIRE3_CAPTION}}) {}

bool CFire3Page::OnSetActive() {
    StepPage::OnSetActive();
    const bool white = TheSheet()->IsWhiteCombination();
    SetControlText(Item(IDC_FIRE3_PANEL), white ? IDS_FIRE_PANEL_WHITE : IDS_FIRE_PANEL_COLOR);
    ShowPicture(white ? IDB_PANEL_FIRING_WHITE : IDB_PANEL_FIRING_COLOR);
    return true;
}
