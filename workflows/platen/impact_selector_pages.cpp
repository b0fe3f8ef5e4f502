#include "workflows/platen/impact_selector_pages.h"

#include <QComboBox>

#include <utility>

#include "app/tovik_sheet.h"
#include "workflows/common/reported_operation.h"
#include "workflows/common/value_selector.h"
#include "workflows/platen/feed_value.h"
#include "workflows/platen/impact_exam_dialogs.h"
#include "workflows/platen/platen_ids.h"

using namespace kpm::ids;
using namespace kpm::workflows;
using namespace kpm::workflows::platen;

namespace kpm::workflows::platen {

ReadingPage::ReadingPage(ReadingLayout layout)
    : StepPage(layout.page), reading_(std::move(layout)) {}

bool ReadingPage::OnSetActive() {
    StepPage::OnSetActive();
    ResetReading();
    m_nEnteredFrom = TheSheet()->GetReturnPage();
    return true;
}

int ReadingPage::OnWizardNext() {
    CTovikSheet& sheet = *TheSheet();
    if (!RunReportingFailure(sheet, WriteReading(sheet))) {
        return -1;
    }
    sheet.SetReturnPage(TemplateId());
    return reading_.next;
}

int ReadingPage::OnWizardBack() {
    return m_nEnteredFrom == reading_.confirmation ? reading_.confirmation : reading_.printStep;
}

}  // namespace kpm::workflows::platen

CImpact3Page::CImpact3Page()
    : ReadingPage({{IDD_IMPACT3,
                    {{IDC_IMPACT3_CAPTION, IDS_STEP4},
                     {IDC_IMPACT3_TITLE, IDS_IMPACT_ADJUST_FIRST},
                     {IDC_IMPACT3_INSTRUCTION, IDS_FIND_SMOOTHEST},
                     {IDC_EXAMPLE, IDS_SEE_EXAMPLE},
                     {IDC_IMPACT3_CLICK_NEXT, IDS_CLICK_NEXT}},
                    {IDC_IMPACT3_CAPTION}},
                   IDD_IMPACT5,
                   IDD_IMPACT2,
                   IDD_IMPACT4}) {}

void CImpact3Page::OnInitDialog() {
    ReadingPage::OnInitDialog();
    FillSignedSelector(ItemAs<QComboBox>(IDC_IMPACT3_FWD), 10, -10, PlusSign::With);
    FillSignedSelector(ItemAs<QComboBox>(IDC_IMPACT3_RVS), 10, -10, PlusSign::With);
    OnClicked(IDC_EXAMPLE, [this] {
        CImpactExam1Dlg example(this);
        ExampleDialog::Open(example, *TheSheet());
    });
}

void CImpact3Page::ResetReading() {
    SelectValue(ItemAs<QComboBox>(IDC_IMPACT3_FWD), 0);
    SelectValue(ItemAs<QComboBox>(IDC_IMPACT3_RVS), 0);
}

std::function<int()> CImpact3Page::WriteReading(CTovikSheet& sheet) {
    const int fwd = PlatenRollingValue(SelectorValue(ItemAs<QComboBox>(IDC_IMPACT3_FWD)));
    const int rvs = PlatenRollingValue(SelectorValue(ItemAs<QComboBox>(IDC_IMPACT3_RVS)));
    return [&sheet, fwd, rvs] { return sheet.WritePlatenRolling(fwd, rvs); };
}

CImpact8Page::CImpact8Page()
    : ReadingPage({{IDD_IMPACT8,
                    {{IDC_IMPACT8_CAPTION, IDS_STEP9},
                     {IDC_IMPACT8_TITLE, IDS_IMPACT_ADJUST_SECOND},
                     {IDC_IMPACT8_INSTRUCTION, IDS_IMPACT_ENTER_LENGTH},
                     {IDC_IMPACT8_LABEL_LENGTH, IDS_IMPACT_LENGTH_LABEL}},
                    {IDC_IMPACT8_CAPTION}},
                   IDD_IMPACT10,
                   IDD_IMPACT7,
                   IDD_IMPACT9}) {}

void CImpact8Page::OnInitDialog() {
    ReadingPage::OnInitDialog();
    FillSignedSelector(ItemAs<QComboBox>(IDC_IMPACT8_LENGTH), 14, -14, PlusSign::With);
}

void CImpact8Page::ResetReading() {
    SelectValue(ItemAs<QComboBox>(IDC_IMPACT8_LENGTH), 0);
}

std::function<int()> CImpact8Page::WriteReading(CTovikSheet& sheet) {
    const int value = FeedByte(SelectorValue(ItemAs<QComboBox>(IDC_IMPACT8_LENGTH)));
    return [&sheet, value] { return sheet.WriteFeedAdjustment(value, value, value, value); };
}
