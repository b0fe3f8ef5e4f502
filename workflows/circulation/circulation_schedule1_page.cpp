#include "workflows/circulation/circulation_schedule1_page.h"

#include <array>

#include "app/texts.h"
#include "app/tovik_sheet.h"

void CCirculationSchedule1Page::OnInitDialog() {
    TheSheet().SetBoldFont(Item(1269));
    SetTexts({{1269, 192}, {1270, 315}, {kSet, 316}, {kCancel, 317}, {1273, 318}});
    OnClicked(kSet, [this] { TakeChoice(); });
    OnClicked(kCancel, [this] { TakeChoice(); });
}

void CCirculationSchedule1Page::TakeChoice() {
    choice_ = IsItemChecked(kCancel) ? kChoiceCancel : kChoiceSet;
    TheSheet().SetWizardButtonsDeferred(ui::kWizBack | ui::kWizNext);
}

bool CCirculationSchedule1Page::OnSetActive() {
    CheckRadio(kSet, kCancel, kSet);
    choice_ = kChoiceSet;
    TheSheet().SetWizardButtonsDeferred(ui::kWizBack | ui::kWizNext);
    return true;
}

int CCirculationSchedule1Page::OnWizardBack() {
    TheSheet().SetReturnPage(kTemplate);
    return CTovikSheet::kMainPageTemplate;
}

int CCirculationSchedule1Page::OnWizardNext() {
    CTovikSheet& sheet = TheSheet();
    if (choice_ == kChoiceSet) {
        // A schedule that cannot be read leaves the start times as they
        // were; the next page lets the user enter them all the same.
        RunOnPrinter([&] { return sheet.ReadCirculationSchedule(); });
        return 0;
    }
    const std::array<int, 8> none{};
    const int code = RunOnPrinter([&] { return sheet.WriteCirculationSchedule(0, none, none); });
    if (code != 0) {
        sheet.ShowErrorMessage(code);
        return -1;
    }
    ShowInformation(319, this);
    return CTovikSheet::kMainPageTemplate;
}
