#include "workflows/alignment/pos5_page.h"

#include "app/texts.h"

CPos5Page::CPos5Page()
    : StepPage({141, {{1095, 195}, {1076, 147}, {1078, 141}}, {1095}, ui::kWizNext}) {}

bool CPos5Page::OnSetActive() {
    StepPage::OnSetActive();
    SetControlText(Item(1077), 184);
    ShowPicture(208);
    return true;
}
