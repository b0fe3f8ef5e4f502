#include "workflows/clock/local_time_setting1_page.h"

#include "app/texts.h"
#include "app/tovik_sheet.h"

void CLocalTimeSetting1Page::OnInitDialog() {
    CTovikSheet& sheet = TheSheet();
    sheet.SetBoldFont(Item(1264));
    kpm::workflows::MakeDateWarning(sheet, Item(1288));
    SetTexts({{1264, 192}, {1265, 309}, {1266, 310}, {1268, 311}, {1288, 335}});
    time_.Start(*this);
}

void CLocalTimeSetting1Page::OnTimer(int id) {
    time_.OnTimer(*this, id);
}

bool CLocalTimeSetting1Page::OnSetActive() {
    TheSheet().SetWizardButtonsDeferred(ui::kWizBack | ui::kWizNext);
    return true;
}

int CLocalTimeSetting1Page::OnWizardBack() {
    TheSheet().SetReturnPage(kTemplate);
    return CTovikSheet::kMainPageTemplate;
}

int CLocalTimeSetting1Page::OnWizardNext() {
    CTovikSheet& sheet = TheSheet();
    // The moment of the press, not the minute on show.
    const std::uint32_t seconds = kpm::workflows::PrinterClockSeconds(time_.Now());
    const int code = RunOnPrinter([&] { return sheet.SetPrinterClock(seconds); });
    if (code != 0) {
        sheet.ShowErrorMessage(code);
        return -1;
    }
    ShowInformation(312, this);
    return CTovikSheet::kMainPageTemplate;
}
