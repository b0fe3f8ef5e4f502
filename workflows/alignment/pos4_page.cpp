#include "workflows/alignment/pos4_page.h"

#include <QComboBox>

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "workflows/alignment/pos_exam1_dlg.h"
#include "workflows/common/reported_operation.h"
#include "workflows/common/value_selector.h"

using kpm::workflows::RunReportingFailure;
using kpm::workflows::SelectorValue;

namespace {
constexpr int kExample = 1017;
constexpr int kBeyondRangeText = 178;
}  // namespace

CPos4Page::CPos4Page()
    : StepPage({140,
                {{1094, 194},
                 {1071, 170},
                 {1072, 171},
                 {1075, 174},
                 {1074, 173},
                 {kExample, 158},
                 {1102, 146}},
                {1094}}) {}

void CPos4Page::OnInitDialog() {
    StepPage::OnInitDialog();
    for (int selector : {kY, kX}) {
        kpm::workflows::FillSignedSelector(ItemAs<QComboBox>(selector), 6, -6,
                                           kpm::workflows::PlusSign::Without);
    }
    OnClicked(kExample, [this] {
        CPosExam1Dlg example(TheSheet());
        kpm::workflows::ExampleDialog::Open(example, *TheSheet());
    });
}

bool CPos4Page::OnSetActive() {
    StepPage::OnSetActive();
    for (int selector : {kY, kX}) {
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
    const int y = -SelectorValue(ItemAs<QComboBox>(kY));
    const int x = -SelectorValue(ItemAs<QComboBox>(kX));

    int first = 0;
    int currentX = 0;
    if (!RunReportingFailure(
            *sheet, [sheet, &first, &currentX] { return sheet->ReadAlignment(first, currentX); })) {
        return -1;
    }
    if (!IsXInRange(currentX, x)) {
        ShowStopMessage(kBeyondRangeText, sheet);
        return -1;
    }
    const bool written =
        RunReportingFailure(*sheet, [sheet, y, x] { return sheet->WriteAlignment(y, x); });
    return written ? 141 : -1;
}

int CPos4Page::OnWizardBack() {
    return m_nReturnPage == 142 ? 142 : 139;
}
