#include "workflows/platen/impact_precheck_page.h"

#include "app/tovik_sheet.h"
#include "workflows/platen/platen_ids.h"

using namespace kpm::workflows::platen;

namespace {

constexpr int kConfirmed = 1192;

}  // namespace

CImpactPreCheckPage::CImpactPreCheckPage()
    : StepPage({kPreCheck,
                {{1189, 192}, {1190, 269}, {1191, 270}, {kConfirmed, 271}},
                {1189},
                ui::kWizBack}) {}

void CImpactPreCheckPage::OnInitDialog() {
    StepPage::OnInitDialog();
    OnClicked(kConfirmed, [this] {
        Sheet()->PostSetWizardButtons(IsItemChecked(kConfirmed) ? ui::kWizBack | ui::kWizNext
                                                                : ui::kWizBack);
    });
}

bool CImpactPreCheckPage::OnSetActive() {
    // Only a fresh start from the main page asks again; coming Back from
    // step 2 keeps the user's confirmation and the buttons as they were.
    if (TheSheet()->GetReturnPage() == CTovikSheet::kMainPageTemplate) {
        TheSheet()->SetReturnPage(-1);
        CheckItem(kConfirmed, false);
        return StepPage::OnSetActive();
    }
    return true;
}

int CImpactPreCheckPage::OnWizardNext() {
    return kImpact1;
}

int CImpactPreCheckPage::OnWizardBack() {
    return CTovikSheet::kMainPageTemplate;
}
