#include "workflows/circulation/circulation_schedule1_page.h"

#include <array>

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "workflows/common/printer_operation.h"
#include "workflows/common/reported_operation.h"

using kpm::workflows::RunPrinterOperation;
using kpm::workflows::RunReportingFailure;
using namespace kpm::ids;

CCirculationSchedule1Page::CCirculationSchedule1Page()
    : StepPage({IDD_CIRCULATION_SCHEDULE1,
                {{IDC_CIRCULATION_SCHEDULE1_CAPTION, IDS_STEP1},
                 {IDC_CIRCULATION_SCHEDULE1_TITLE, IDS_CIRC_SET_OR_CANCEL},
                 {IDC_CIRCULATION_SCHEDULE1_SET, IDS_CIRC_SET},
                 {IDC_CIRCULATION_SCHEDULE1_CANCEL, IDS_CIRC_CANCEL},
                 {IDC_CIRCULATION_SCHEDULE1_NOTE, IDS_CIRC_NOT_SET_NOTE}},
                {IDC_CIRCULATION_SCHEDULE1_CAPTION}}) {}

void CCirculationSchedule1Page::OnInitDialog() {
    StepPage::OnInitDialog();
    OnClicked(IDC_CIRCULATION_SCHEDULE1_SET, [this] { TakeChoice(); });
    OnClicked(IDC_CIRCULATION_SCHEDULE1_CANCEL, [this] { TakeChoice(); });
}

void CCirculationSchedule1Page::TakeChoice() {
    choice_ = IsItemChecked(IDC_CIRCULATION_SCHEDULE1_CANCEL) ? kChoiceCancel : kChoiceSet;
    TheSheet()->SetWizardButtonsDeferred(ui::kWizBack | ui::kWizNext);
}

bool CCirculationSchedule1Page::OnSetActive() {
    CheckRadio(IDC_CIRCULATION_SCHEDULE1_SET, IDC_CIRCULATION_SCHEDULE1_CANCEL,
               IDC_CIRCULATION_SCHEDULE1_SET);
    choice_ = kChoiceSet;
    return StepPage::OnSetActive();
}

int CCirculationSchedule1Page::OnWizardBack() {
    TheSheet()->SetReturnPage(IDD_CIRCULATION_SCHEDULE1);
    return IDD_MAIN;
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
    ShowInformation(IDS_CIRC_CANCELLED, this);
    return IDD_MAIN;
}
