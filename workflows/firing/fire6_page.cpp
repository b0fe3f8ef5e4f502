#include "workflows/firing/fire6_page.h"

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "workflows/firing/fire_exam2_dlg.h"

using namespace kpm::ids;

namespace {

kpm::workflows::ConfirmationLayout Confirmation() {
    kpm::workflows::ConfirmationLayout layout;
    layout.page = {IDD_FIRE6,
                   {{IDC_FIRE6_CAPTION, IDS_STEP6},
                    {IDC_FIRE6_TITLE, IDS_CONFIRM_RESULT},
                    {IDC_FIRE6_QUESTION, IDS_FIRE_IS_SMOOTHEST},
                    {IDC_YES, IDS_YES},
                    {IDC_NO, IDS_NO},
                    {IDC_EXAMPLE, IDS_SEE_EXAMPLE},
                    {IDC_FIRE6_CLICK_NEXT, IDS_CLICK_NEXT},
                    {IDC_READJUST, IDS_READJUST},
                    {IDC_FIRE6_RESTART_TEXT, IDS_RESTART_IF_NOT_GOOD},
                    {IDC_RESTART, IDS_RETURN_TO_STEP1},
                    {IDC_FIRE6_PLATEN_HEIGHT, IDS_PLATEN_HEIGHT_A}},
                   {IDC_FIRE6_CAPTION, IDC_FIRE6_RESTART_TEXT},
                   ui::kWizBack};
    layout.nextLine = IDC_FIRE6_CLICK_NEXT;
    layout.returnMarker = IDD_FIRE6;
    layout.reAdjustTarget = IDD_FIRE4;
    layout.restartTarget = IDD_FIRE1;
    return layout;
}

}  // namespace

CFire6Page::CFire6Page() : ConfirmationPage(Confirmation()) {}

void CFire6Page::OnInitDialog() {
    ConfirmationPage::OnInitDialog();
    ShowItem(IDC_FIRE6_PLATEN_HEIGHT, false);
}

void CFire6Page::OpenExample() {
    CFireExam2Dlg example(TheSheet());
    kpm::workflows::ExampleDialog::Open(example, *TheSheet());
}

int CFire6Page::OnWizardNext() {
    CTovikSheet* sheet = TheSheet();
    sheet->MarkFiringDone();
    if (sheet->IsFiringComplete()) {
        ShowInformation(IDS_FIRE_ALL_DONE, sheet);
        return IDD_MAIN;
    }
    sheet->SetReturnPage(IDD_FIRE1);
    return IDD_FIRE1;
}
