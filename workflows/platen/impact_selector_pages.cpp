#include "workflows/platen/impact_selector_pages.h"

#include <QComboBox>

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

CImpact3Page::CImpact3Page()
    : StepPage({kImpact3,
                {{1167, 195}, {1168, 262}, {1169, 169}, {kExample, 158}, {1172, 146}},
                {1167}}) {}

void CImpact3Page::OnInitDialog() {
    StepPage::OnInitDialog();
    FillSignedSelector(ItemAs<QComboBox>(kFwd), 10, -10, PlusSign::With);
    FillSignedSelector(ItemAs<QComboBox>(kRvs), 10, -10, PlusSign::With);
    OnClicked(kExample, [this] {
        CImpactExam1Dlg example(this);
        ExampleDialog::Open(example, *TheSheet());
    });
}

bool CImpact3Page::OnSetActive() {
    StepPage::OnSetActive();
    SelectValue(ItemAs<QComboBox>(kFwd), 0);
    SelectValue(ItemAs<QComboBox>(kRvs), 0);
    m_nEnteredFrom = TheSheet()->GetReturnPage();
    return true;
}

int CImpact3Page::OnWizardNext() {
    const int fwd = PlatenRollingValue(SelectorValue(ItemAs<QComboBox>(kFwd)));
    const int rvs = PlatenRollingValue(SelectorValue(ItemAs<QComboBox>(kRvs)));
    CTovikSheet& sheet = *TheSheet();
    if (!RunReportingFailure(sheet, [&] { return sheet.WritePlatenRolling(fwd, rvs); })) {
        return -1;
    }
    sheet.SetReturnPage(kImpact3);
    return kImpact4;
}

int CImpact3Page::OnWizardBack() {
    return m_nEnteredFrom == kImpact5 ? kImpact5 : kImpact2;
}

CImpact8Page::CImpact8Page()
    : StepPage({kImpact8, {{1193, 278}, {1215, 286}, {1216, 393}, {1205, 282}}, {1193}}) {}

void CImpact8Page::OnInitDialog() {
    StepPage::OnInitDialog();
    FillSignedSelector(ItemAs<QComboBox>(kLength), 14, -14, PlusSign::With);
}

bool CImpact8Page::OnSetActive() {
    StepPage::OnSetActive();
    SelectValue(ItemAs<QComboBox>(kLength), 0);
    m_nEnteredFrom = TheSheet()->GetReturnPage();
    return true;
}

int CImpact8Page::OnWizardNext() {
    const int value = FeedByte(SelectorValue(ItemAs<QComboBox>(kLength)));
    CTovikSheet& sheet = *TheSheet();
    if (!RunReportingFailure(
            sheet, [&] { return sheet.WriteFeedAdjustment(value, value, value, value); })) {
        return -1;
    }
    sheet.SetReturnPage(kImpact8);
    return kImpact9;
}

int CImpact8Page::OnWizardBack() {
    return m_nEnteredFrom == kImpact10 ? kImpact10 : kImpact7;
}
