#include "workflows/platen/impact_selector_pages.h"

#include <QComboBox>

#include <utility>

#include "app/tovik_sheet.h"
#include "workflows/common/reported_operation.h"
#include "workflows/common/value_selector.h"
#include "workflows/platen/feed_value.h"
#include "workflows/platen/impact_exam_dialogs.h"
#include "workflows/platen/platen_ids.h"

using namespace kpm::workflows;
using namespace kpm::workflows::platen;

namespace {

constexpr int kFwd = 1165;
constexpr int kRvs = 1166;
constexpr int kExample = 1017;
constexpr int kLength = 1217;

}  // namespace

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
    : ReadingPage({{kImpact3,
                    {{1167, 195}, {1168, 262}, {1169, 169}, {kExample, 158}, {1172, 146}},
                    {1167}},
                   kImpact5,
                   kImpact2,
                   kImpact4}) {}

void CImpact3Page::OnInitDialog() {
    ReadingPage::OnInitDialog();
    FillSignedSelector(ItemAs<QComboBox>(kFwd), 10, -10, PlusSign::With);
    FillSignedSelector(ItemAs<QComboBox>(kRvs), 10, -10, PlusSign::With);
    OnClicked(kExample, [this] {
        CImpactExam1Dlg example(this);
        ExampleDialog::Open(example, *TheSheet());
    });
}

void CImpact3Page::ResetReading() {
    SelectValue(ItemAs<QComboBox>(kFwd), 0);
    SelectValue(ItemAs<QComboBox>(kRvs), 0);
}

std::function<int()> CImpact3Page::WriteReading(CTovikSheet& sheet) {
    const int fwd = PlatenRollingValue(SelectorValue(ItemAs<QComboBox>(kFwd)));
    const int rvs = PlatenRollingValue(SelectorValue(ItemAs<QComboBox>(kRvs)));
    return [&sheet, fwd, rvs] { return sheet.WritePlatenRolling(fwd, rvs); };
}

CImpact8Page::CImpact8Page()
    : ReadingPage({{kImpact8, {{1193, 278}, {1215, 286}, {1216, 393}, {1205, 282}}, {1193}},
                   kImpact10,
                   kImpact7,
                   kImpact9}) {}

void CImpact8Page::OnInitDialog() {
    ReadingPage::OnInitDialog();
    FillSignedSelector(ItemAs<QComboBox>(kLength), 14, -14, PlusSign::With);
}

void CImpact8Page::ResetReading() {
    SelectValue(ItemAs<QComboBox>(kLength), 0);
}

std::function<int()> CImpact8Page::WriteReading(CTovikSheet& sheet) {
    const int value = FeedByte(SelectorValue(ItemAs<QComboBox>(kLength)));
    return [&sheet, value] { return sheet.WriteFeedAdjustment(value, value, value, value); };
}
