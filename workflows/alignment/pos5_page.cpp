#include "workflows/alignment/pos5_page.h"

#include "app/texts.h"

using namespace kpm::ids;

CPos5Page::CPos5Page()
    : StepPage({IDD_POS5,
                {{IDC_POS5_CAPTION, IDS_STEP4},
                 {IDC_POS5_TITLE, IDS_SETTINGS_CHANGED},
                 {IDC_POS5_AFTER_PRINTING, IDS_AFTER_PRINTING}},
                {IDC_POS5_CAPTION},
                ui::kWizNext}) {}

bool CPos5Page::OnSetActive() {
    StepPage::OnSetActive();
    SetControlText(Item(IDC_POS5_REPRINT), IDS_POS_REPRINT);
    ShowPicture(IDB_PANEL_ALIGNMENT);
    return true;
}
