#include "workflows/firing/fire5_page.h"

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "workflows/firing/firing_ids.h"

using namespace kpm::ids;

CFire5Page::CFire5Page()
    : StepPage({IDD_FIRE5,
                {{IDC_FIRE5_CAPTION, IDS_STEP5},
                 {IDC_FIRE5_TITLE, IDS_SETTINGS_CHANGED},
                 {IDC_FIRE5_AFTER_PRINTING, IDS_AFTER_PRINTING}},
                {IDC_FIRE5_CAPTION},
                ui::kWizNext}) {}

bool CFire5Page::OnSetActive() {
    StepPage::OnSetActive();
    const bool white = TheSheet()->IsWhiteCombination();
    SetControlText(Item(IDC_FIRE5_REPRINT),
                   white ? IDS_FIRE_REPRINT_WHITE : IDS_FIRE_REPRINT_COLOR);
    ShowPicture(white ? IDB_PANEL_FIRING_WHITE : IDB_PANEL_FIRING_COLOR);
    return true;
}
