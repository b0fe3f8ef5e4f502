#include "workflows/firing/fire6_page.h"

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "workflows/firing/fire_exam2_dlg.h"

namespace {

constexpr int kPlatenHeightNote = 1068;
constexpr int kAllDoneText = 160;

kpm::workflows::ConfirmationLayout Confirmation() {
    kpm::workflows::ConfirmationLayout layout;
    layout.page = {134,
                   {{1088, 197},
                    {1065, 148},
                    {1066, 149},
                    {1036, 156},
                    {1021, 157},
                    {1017, 158},
                    {1090, 146},
                    {1022, 129},
                    {1089, 145},
                    {1019, 159},
                    {kPlatenHeightNote, 150}},
                   {1088, 1089},
                   ui::kWizBack};
    layout.nextLine = 1090;
    layout.returnMarker = 134;
    layout.reAdjustTarget = 132;
    layout.restartTarget = 129;
    return layout;
}

}  // namespace

CFire6Page::CFire6Page() : ConfirmationPage(Confirmation()) {}

void CFire6Page::OnInitDialog() {
    ConfirmationPage::OnInitDialog();
    ShowItem(kPlatenHeightNote, false);
}

void CFire6Page::OpenExample() {
    CFireExam2Dlg example(TheSheet());
    kpm::workflows::ExampleDialog::Open(example, *TheSheet());
}

int CFire6Page::OnWizardNext() {
    CTovikSheet* sheet = TheSheet();
    sheet->MarkFiringDone();
    if (sheet->IsFiringComplete()) {
        ShowInformation(kAllDoneText, sheet);
        return CTovikSheet::kMainPageTemplate;
    }
    sheet->SetReturnPage(129);
    return 129;
}
