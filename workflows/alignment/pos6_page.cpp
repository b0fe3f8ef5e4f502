#include "workflows/alignment/pos6_page.h"

#include "app/tovik_sheet.h"
#include "workflows/alignment/pos_exam2_dlg.h"

using namespace kpm::ids;

namespace {

kpm::workflows::ConfirmationLayout Confirmation() {
    kpm::workflows::ConfirmationLayout layout;
    layout.page = {IDD_POS6,
                   {{IDC_POS6_CAPTION, IDS_STEP5},
                    {IDC_POS6_TITLE, IDS_POS_CONFIRM_REPRINT},
                    {IDC_POS6_QUESTION, IDS_POS_IS_CENTRE_ALIGNED},
                    {IDC_YES, IDS_YES},
                    {IDC_NO, IDS_NO},
                    {IDC_EXAMPLE, IDS_SEE_EXAMPLE},
                    {IDC_POS6_CLICK_NEXT, IDS_CLICK_NEXT},
                    {IDC_READJUST, IDS_READJUST},
                    {IDC_POS6_RESTART_TEXT, IDS_RESTART_IF_NOT_GOOD},
                    {IDC_RESTART, IDS_RETURN_TO_STEP1}},
                   {IDC_POS6_CAPTION, IDC_POS6_RESTART_TEXT},
                   ui::kWizBack};
    layout.nextLine = IDC_POS6_CLICK_NEXT;
    layout.returnMarker = IDD_POS6;
    layout.reAdjustTarget = IDD_POS4;
    layout.restartTarget = IDD_POS2;
    return layout;
}

}  // namespace

CPos6Page::CPos6Page() : ConfirmationPage(Confirmation()) {}

void CPos6Page::OpenExample() {
    CPosExam2Dlg example(TheSheet());
    kpm::workflows::ExampleDialog::Open(example, *TheSheet());
}

int CPos6Page::OnWizardNext() {
    return IDD_MAIN;
}
