#include "workflows/alignment/pos4_page.h"

#include <QComboBox>

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "workflows/alignment/pos_exam1_dlg.h"
#include "workflows/common/reported_operation.h"
#include "workflows/common/value_selector.h"

using kpm::workflows::RunReportingFailure;
using kpm::workflows::SelectorValue;

using namespace kpm::ids;

CPos4Page::CPos4Page()
    : StepPage({IDD_POS4,
                {{IDC_POS4_CAPTION, IDS_STEP3},
                 {IDC_POS4_TITLE, IDS_POS_CONFIRM_RESULT},
                 {IDC_POS4_INSTRUCTION, IDS_POS_FIND_SQUARE},
                 {IDC_POS4_LABEL_X, IDS_POS_X_RANGE},
                 {IDC_POS4_LABEL_Y, IDS_POS_Y_RANGE},
                 {IDC_EXAMPLE, IDS_SEE_EXAMPLE},
                 {IDC_POS4_CLICK_NEXT, IDS_CLICK_NEXT}},
                {IDC_POS4_CAPTION}}) {}

void CPos4Page::OnInitDialog() {
    StepPage::OnInitDialog();
    for (int selector : {IDC_POS4_Y, IDC_POS4_X}) {
        kpm::workflows::FillSignedSelector(ItemAs<QComboBox>(selector), 6, -6,
                                           kpm::workflows::PlusSign::Without);
    }
    OnClicked(IDC_EXAMPLE, [this] {
        CPosExam1Dlg example(TheSheet());
        kpm::workflows::ExampleDialog::Open(example, *TheSheet());
    });
}

bool CPos4Page::OnSetActive() {
    StepPage::OnSetActive();
    for (int selector : {IDC_POS4_Y, IDC_POS4_X}) {
        kpm::workflows::SelectValue(ItemAs<QComboBox>(selector), 0);
    }
    CTovikSheet* sheet = TheSheet();
    m_nReturnPage = sheet->GetReturnPage();
    sheet->SetReturnPage(-1);
    return true;
}

bool CPos4Page::IsXInRange(int currentX, int x) {
    // Wide arithmetic: the current value comes from the printer.
    const long long resulting = static_cast<long long>(currentX) + x + 64;
    return resulting >= 0 && resulting <= 127;
}

int CPos4Page::OnWizardNext() {
    CTovikSheet* sheet = TheSheet();
    // The printer moves by the opposite of the square's numbers.
    const int y = -SelectorValue(ItemAs<QComboBox>(IDC_POS4_Y));
    const int x = -SelectorValue(ItemAs<QComboBox>(IDC_POS4_X));

    int first = 0;
    int currentX = 0;
    if (!RunReportingFailure(
            *sheet, [sheet, &first, &currentX] { return sheet->ReadAlignment(first, currentX); })) {
        return -1;
    }
    if (!IsXInRange(currentX, x)) {
        ShowStopMessage(IDS_POS_X_BEYOND_RANGE, sheet);
        return -1;
    }
    const bool written =
        RunReportingFailure(*sheet, [sheet, y, x] { return sheet->WriteAlignment(y, x); });
    return written ? IDD_POS5 : -1;
}

int CPos4Page::OnWizardBack() {
    return m_nReturnPage == IDD_POS6 ? IDD_POS6 : IDD_POS3;
}
