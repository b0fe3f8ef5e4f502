#include "workflows/alignment/pos6_page.h"

#include "app/tovik_sheet.h"
#include "workflows/alignment/pos_exam2_dlg.h"

namespace {

kpm::workflows::ConfirmationLayout Confirmation() {
    kpm::workflows::ConfirmationLayout layout;
    layout.page = {142,
                   {{1097, 196},
                    {1077, 176},
                    {1078, 177},
                    {1036, 156},
                    {1021, 157},
                    {1017, 158},
                    {1096, 146},
                    {1022, 129},
                    {1248, 145},
                    {1019, 159}},
                   {1097, 1248},
                   ui::kWizBack};
    layout.nextLine = 1096;
    layout.returnMarker = 142;
    layout.reAdjustTarget = 140;
    layout.restartTarget = 138;
    return layout;
}

}  // namespace

CPos6Page::CPos6Page() : ConfirmationPage(Confirmation()) {}

void CPos6Page::OpenExample() {
    CPosExam2Dlg example(TheSheet());
    kpm::workflows::ExampleDialog::Open(example, *TheSheet());
}

int CPos6Page::OnWizardNext() {
    return CTovikSheet::kMainPageTemplate;
}
