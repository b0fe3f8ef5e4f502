#include "workflows/alignment/pos2_page.h"

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "workflows/common/reported_operation.h"

CPos2Page::CPos2Page()
    : StepPage(
          {138,
           {{1092, 192}, {1067, 128}, {kResetFirst, 213}, {1255, 306}, {1072, 137}, {1249, 305}},
           {1092}}) {}

bool CPos2Page::OnSetActive() {
    StepPage::OnSetActive();
    // A pass started here (also by "Return to Step 1") is a new pass: Back
    // on step 3 must lead to step 2, not to the confirmation of the last.
    TheSheet()->SetReturnPage(-1);
    SetControlText(Item(1068), 165);
    ShowPicture(207);
    return true;
}

int CPos2Page::OnWizardNext() {
    CTovikSheet* sheet = TheSheet();
    const bool reset = IsItemChecked(kResetFirst);
    const bool sent = kpm::workflows::PrepareAndSendPattern(
        *sheet, [sheet, reset] { return reset ? sheet->ResetAlignment() : 0; }, 214);
    return sent ? 139 : -1;
}

int CPos2Page::OnWizardBack() {
    return CTovikSheet::kMainPageTemplate;
}
