#include "workflows/alignment/pos3_page.h"

CPos3Page::CPos3Page()
    : StepPage({139, {{1093, 193}, {1070, 139}, {1071, 168}, {1073, 141}}, {1093}}) {}

bool CPos3Page::OnSetActive() {
    StepPage::OnSetActive();
    ShowPicture(208);
    return true;
}
