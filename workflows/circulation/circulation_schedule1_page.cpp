#include "workflows/circulation/circulation_schedule1_page.h"

#include <array>

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "workflows/common/printer_operation.h"
#include "workflows/common/reported_operation.h"

using kpm::workflows::RunPrinterOperation;
using kpm::workflows::RunReportingFailure;

void CCirculationSchedule1Page::OnInitDialog() {
    StepPage::OnInitDialog();
    OnClicked(kSet, [this] { TakeChoice(); });
    OnClicked(kCancel, [this] { TakeChoice(); });
}

void CCirculationSchedule1Page::TakeChoice() {
    choice_ = IsItemChecked(kCancel) ? kChoiceCancel : kChoiceSet;
    TheSheet()->SetWizardButtonsDeferred(ui::kWizBack | ui::kWizNext);
}

bool CCirculationSchedule1Page::OnSetActive() {
    CheckRadio(kSet, kCancel, kSet);
    choice_ = kChoiceSet;
    return StepPage::OnSetActive();
}

int CCirculationSchedule1Page::OnWizardBack() {
    TheSheet()->SetReturnPage(kTemplate);
    return CTovikSheet::kMainPageTemplate;
}

int CCirculationSchedule1Page::OnWizardNext() {
    CTovikSheet& sheet = *TheSheet();
    if (choice_ == kChoiceSet) {
        // A schedule that cannot be read leaves the start times as they
        // were; the next page lets the user enter them all the same.
        RunPrinterOperation(sheet, [&] { return sheet.ReadCirculationSchedule(); });
        return 0;
    }
    const std::array<int, 8> none{};
    if (!RunReportingFailure(sheet,
                             [&] { return sheet.WriteCirculationSchedule(0, none, none); })) {
        return -1;
    }
    ShowInformation(319, this);
    return CTovikSheet::kMainPageTemplate;
}
