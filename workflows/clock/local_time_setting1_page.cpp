#include "workflows/clock/local_time_setting1_page.h"

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "workflows/common/reported_operation.h"

using kpm::workflows::RunReportingFailure;
using namespace kpm::ids;

CLocalTimeSetting1Page::CLocalTimeSetting1Page()
    : StepPage({IDD_LOCAL_TIME_SETTING1,
                {{IDC_LOCAL_TIME_SETTING1_CAPTION, IDS_STEP1},
                 {IDC_LOCAL_TIME_SETTING1_TITLE, IDS_CLOCK_TITLE},
                 {IDC_LOCAL_TIME_SETTING1_TIME_LABEL, IDS_CLOCK_CURRENT_TIME},
                 {IDC_LOCAL_TIME_SETTING1_INSTRUCTION, IDS_CLOCK_INSTRUCTION},
                 {IDC_LOCAL_TIME_SETTING1_DATE_WARNING, IDS_CLOCK_DATE_WARNING}},
                {IDC_LOCAL_TIME_SETTING1_CAPTION}}) {}

void CLocalTimeSetting1Page::OnInitDialog() {
    StepPage::OnInitDialog();
    CTovikSheet& sheet = *TheSheet();
    kpm::workflows::MakeDateWarning(sheet, Item(IDC_LOCAL_TIME_SETTING1_DATE_WARNING));
    time_.Start(*this);
}

void CLocalTimeSetting1Page::OnTimer(int id) {
    time_.OnTimer(*this, id);
}

int CLocalTimeSetting1Page::OnWizardBack() {
    TheSheet()->SetReturnPage(IDD_LOCAL_TIME_SETTING1);
    return IDD_MAIN;
}

int CLocalTimeSetting1Page::OnWizardNext() {
    CTovikSheet& sheet = *TheSheet();
    // The moment of the press, not the minute on show.
    const std::uint32_t seconds = kpm::workflows::PrinterClockSeconds(time_.Now());
    if (!RunReportingFailure(sheet, [&] { return sheet.SetPrinterClock(seconds); })) {
        return -1;
    }
    ShowInformation(IDS_CLOCK_SET, this);
    return IDD_MAIN;
}
