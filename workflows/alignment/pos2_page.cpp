#include "workflows/alignment/pos2_page.h"

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "workflows/common/reported_operation.h"

using namespace kpm::ids;

CPos2Page::CPos2Page()
    : StepPage({IDD_POS2,
                {{IDC_POS2_CAPTION, IDS_STEP1},
                 {IDC_POS2_TITLE, IDS_PATTERN_WILL_BE_SENT},
                 {IDC_POS2_RESET_FIRST, IDS_POS_RESET_FIRST},
                 {IDC_POS2_RESET_NOTE, IDS_POS_RESET_NOTE},
                 {IDC_POS2_CLICK_NEXT, IDS_CLICK_NEXT_AND_WAIT},
                 {IDC_POS2_AUTO_ERASE, IDS_AUTO_ERASE_OFF}},
                {IDC_POS2_CAPTION}}) {}

bool CPos2Page::OnSetActive() {
    StepPage::OnSetActive();
    // A pass started here (also by "Return to Step 1") is a new pass: Back
    // on step 3 must lead to step 2, not to the confirmation of the last.
    TheSheet()->SetReturnPage(-1);
    SetControlText(Item(IDC_POS2_SEND_FILM), IDS_POS_SEND_FILM);
    ShowPicture(IDB_ALIGNMENT_FILM);
    return true;
}

int CPos2Page::OnWizardNext() {
    CTovikSheet* sheet = TheSheet();
    const bool reset = IsItemChecked(IDC_POS2_RESET_FIRST);
    const bool sent = kpm::workflows::PrepareAndSendPattern(
        *sheet, [sheet, reset] { return reset ? sheet->ResetAlignment() : 0; }, IDR_ALIGNMENT);
    return sent ? IDD_POS3 : -1;
}

int CPos2Page::OnWizardBack() {
    return IDD_MAIN;
}
