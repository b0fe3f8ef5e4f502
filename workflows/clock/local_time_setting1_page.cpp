#include "workflows/clock/local_time_setting1_page.h"

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "workflows/common/reported_operation.h"

using kpm::workflows::RunReportingFailure;

void CLocalTimeSetting1Page::OnInitDialog() {
    StepPage::OnInitDialog();
    CTovikSheet& sheet = *TheSheet();
    kpm::workflows::MakeDateWarning(sheet, Item(1288));
    time_.Start(*this);
}

void CLocalTimeSetting1Page::OnTimer(int id) {
    time_.OnTimer(*this, id);
}

int CLocalTimeSetting1Page::OnWizardBack() {
    TheSheet()->SetReturnPage(kTemplate);
    return CTovikSheet::kMainPageTemplate;
}

int CLocalTimeSetting1Page::OnWizardNext() {
    CTovikSheet& sheet = *TheSheet();
    // The moment of the press, not the minute on show.
    const std::uint32_t seconds = kpm::workflows::PrinterClockSeconds(time_.Now());
    if (!RunReportingFailure(sheet, [&] { return sheet.SetPrinterClock(seconds); })) {
        return -1;
    }
    ShowInformation(312, this);
    return CTovikSheet::kMainPageTemplate;
}
