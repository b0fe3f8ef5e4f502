#include "workflows/alignment/pos2_page.h"

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "workflows/common/printer_operation.h"

using kpm::workflows::RunPrinterOperation;

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
    if (IsItemChecked(kResetFirst)) {
        const int code = RunPrinterOperation(*sheet, [sheet] { return sheet->ResetAlignment(); });
        if (code != 0) {
            sheet->ShowErrorMessage(code);
            return -1;
        }
    }
    const int code = RunPrinterOperation(*sheet, [sheet] { return sheet->SendCheckPattern(214); });
    if (code != 0) {
        sheet->ShowErrorMessage(code);
        return -1;
    }
    return 139;
}

int CPos2Page::OnWizardBack() {
    return CTovikSheet::kMainPageTemplate;
}
