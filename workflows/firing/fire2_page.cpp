#include "workflows/firing/fire2_page.h"

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "workflows/common/reported_operation.h"

CFire2Page::CFire2Page()
    : StepPage({130, {{1084, 193}, {1052, 128}, {1058, 137}, {1059, 138}, {1061, 305}}, {1084}}) {}

bool CFire2Page::OnSetActive() {
    StepPage::OnSetActive();
    const bool white = TheSheet()->IsWhiteCombination();
    SetControlText(Item(1055), white ? 135 : 134);
    ShowPicture(white ? 206 : 204);
    return true;
}

int CFire2Page::OnWizardNext() {
    CTovikSheet* sheet = TheSheet();
    const int pattern = sheet->IsWhiteCombination() ? 212 : 210;
    const bool sent = kpm::workflows::PrepareAndSendPattern(
        *sheet, [sheet] { return sheet->ResetFiring(); }, pattern);
    return sent ? 131 : -1;
}

int CFire2Page::OnWizardBack() {
    TheSheet()->SetReturnPage(130);
    return 129;
}
