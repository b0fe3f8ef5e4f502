#include "workflows/platen/impact_precheck_page.h"

#include "app/tovik_sheet.h"
#include "workflows/platen/impact_step_page.h"

using namespace kpm::workflows::platen;

namespace {

constexpr int kCaption = 1189;
constexpr int kConfirmed = 1192;

}  // namespace

CImpactPreCheckPage::CImpactPreCheckPage() : ui::PropertyPage(kPreCheck) {}

CTovikSheet* CImpactPreCheckPage::TheSheet() const {
    return static_cast<CTovikSheet*>(Sheet());
}

void CImpactPreCheckPage::OnInitDialog() {
    TheSheet()->SetBoldFont(Item(kCaption));
    SetTexts(*this, {{kCaption, 192}, {1190, 269}, {1191, 270}, {kConfirmed, 271}});
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
        TheSheet()->SetWizardButtonsDeferred(ui::kWizBack);
        CheckItem(kConfirmed, false);
    }
    return true;
}

int CImpactPreCheckPage::OnWizardNext() {
    return kImpact1;
}

int CImpactPreCheckPage::OnWizardBack() {
    return CTovikSheet::kMainPageTemplate;
}
