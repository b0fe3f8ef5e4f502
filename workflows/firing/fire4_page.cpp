#include "workflows/firing/fire4_page.h"

#include <QComboBox>

#include "app/tovik_sheet.h"
#include "workflows/common/reported_operation.h"
#include "workflows/common/value_selector.h"
#include "workflows/firing/fire_exam1_dlg.h"

using kpm::workflows::FillFiringSelector;
using kpm::workflows::RunReportingFailure;
using kpm::workflows::SelectorValue;
using namespace kpm::ids;

CFire4Page::CFire4Page()
    : StepPage({IDD_FIRE4,
                {{IDC_FIRE4_CAPTION, IDS_STEP4},
                 {IDC_FIRE4_TITLE, IDS_FIRE_PRINT_CHECK},
                 {IDC_FIRE4_INSTRUCTION, IDS_FIND_SMOOTHEST},
                 {IDC_EXAMPLE, IDS_SEE_EXAMPLE},
                 {IDC_FIRE4_CLICK_NEXT, IDS_CLICK_NEXT}},
                {IDC_FIRE4_CAPTION}}) {}

void CFire4Page::OnInitDialog() {
    StepPage::OnInitDialog();
    for (std::size_t i = kM; i < kSelectors.size(); ++i) {
        ShowItem(kSelectors[i], false);
        ShowItem(kLabels[i], false);
    }
    OnClicked(IDC_EXAMPLE, [this] {
        CFireExam1Dlg example(TheSheet());
        kpm::workflows::ExampleDialog::Open(example, *TheSheet());
    });
}

bool CFire4Page::OnSetActive() {
    StepPage::OnSetActive();
    CTovikSheet* sheet = TheSheet();
    m_strLabels[kK] =
        sheet->IsWhiteCombination() ? QStringLiteral("W (1 - 9)") : QStringLiteral("CMYK (1 - 9)");
    for (std::size_t i = 0; i < kSelectors.size(); ++i) {
        SetItemText(kLabels[i], m_strLabels[i]);
        FillFiringSelector(ItemAs<QComboBox>(kSelectors[i]), m_nLowest[i], m_nHighest[i]);
    }
    m_nReturnPage = sheet->GetReturnPage();
    sheet->SetReturnPage(-1);
    return true;
}

int CFire4Page::OnWizardNext() {
    CTovikSheet* sheet = TheSheet();
    const bool white = sheet->IsWhiteCombination();
    std::array<int, 4> offset{};
    for (std::size_t i = 0; i < kSelectors.size(); ++i) {
        offset[i] = Offset(SelectorValue(ItemAs<QComboBox>(kSelectors[i])), white);
    }
    const bool written = RunReportingFailure(*sheet, [sheet, offset] {
        return sheet->WriteFiringValues(offset[kC], offset[kM], offset[kY], offset[kK]);
    });
    return written ? IDD_FIRE5 : -1;
}

int CFire4Page::OnWizardBack() {
    return m_nReturnPage == IDD_FIRE6 ? IDD_FIRE6 : IDD_FIRE3;
}
