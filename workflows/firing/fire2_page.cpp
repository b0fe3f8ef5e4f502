#include "workflows/firing/fire2_page.h"

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "workflows/common/reported_operation.h"
#include "workflows/firing/firing_ids.h"

using namespace kpm::ids;

CFire2Page::CFire2Page()
    : StepPage({IDD_FIRE2,
                {{IDC_FIRE2_CAPTION, IDS_STEP2},
                 {IDC_FIRE2_TITLE, IDS_PATTERN_WILL_BE_SENT},
                 {IDC_FIRE2_CLICK_NEXT, IDS_CLICK_NEXT_AND_WAIT},
                 {IDC_FIRE2_NOTE, IDS_CANCEL_NOTE},
                 {IDC_FIRE2_AUTO_ERASE, IDS_AUTO_ERASE_OFF}},
                {IDC_FIRE2_CAPTION}}) {}

bool CFire2Page::OnSetActive() {
    StepPage::OnSetActive();
    const bool white = TheSheet()->IsWhiteCombination();
    SetControlText(Item(IDC_FIRE2_SEND_FILM),
                   white ? IDS_FIRE_SEND_FILM_WHITE : IDS_FIRE_SEND_FILM_COLOR);
    ShowPicture(white ? IDB_FIRING_FILM_WHITE : IDB_FIRING_FILM_COLOR);
    return true;
}

int CFire2Page::OnWizardNext() {
    CTovikSheet* sheet = TheSheet();
    const int pattern = sheet->IsWhiteCombination() ? IDR_FIRING_WHITE : IDR_FIRING_COLOR;
    const bool sent = kpm::workflows::PrepareAndSendPattern(
        *sheet, [sheet] { return sheet->ResetFiring(); }, pattern);
    return sent ? IDD_FIRE3 : -1;
}

int CFire2Page::OnWizardBack() {
    TheSheet()->SetReturnPage(IDD_FIRE2);
    return IDD_FIRE1;
}
