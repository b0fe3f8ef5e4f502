#include "workflows/platen/impact_precheck_page.h"

#include "app/tovik_sheet.h"
#include "workflows/platen/platen_ids.h"

using namespace kpm::ids;

CImpactPreCheckPage::CImpactPreCheckPage()
    : StepPage({IDD_IMPACT_PRECHECK,
                {{IDC_IMPACT_PRECHECK_CAPTION, IDS_STEP1},
                 {IDC_IMPACT_PRECHECK_TITLE, IDS_IMPACT_PRIOR_CONFIRMATION},
                 {IDC_IMPACT_PRECHECK_TEXT, IDS_IMPACT_PRIOR_SETTINGS},
                 {IDC_IMPACT_PRECHECK_CONFIRMED, IDS_IMPACT_SETTINGS_FINISHED}},
                {IDC_IMPACT_PRECHECK_CAPTION},
                ui::kWizBack}) {}

void CImpactPreCheckPage::OnInitDialog() {
    StepPage::OnInitDialog();
    OnClicked(IDC_IMPACT_PRECHECK_CONFIRMED, [this] {
        Sheet()->PostSetWizardButtons(IsItemChecked(IDC_IMPACT_PRECHECK_CONFIRMED)
                                          ? ui::kWizBack | ui::kWizNext
                                          : ui::kWizBack);
    });
}

bool CImpactPreCheckPage::OnSetActive() {
    // Only a fresh start from the main page asks again; coming Back from
    // step 2 keeps the user's confirmation and the buttons as they were.
    if (TheSheet()->GetReturnPage() == IDD_MAIN) {
        TheSheet()->SetReturnPage(-1);
        CheckItem(IDC_IMPACT_PRECHECK_CONFIRMED, false);
        return StepPage::OnSetActive();
    }
    return true;
}

int CImpactPreCheckPage::OnWizardNext() {
    return IDD_IMPACT1;
}

int CImpactPreCheckPage::OnWizardBack() {
    return IDD_MAIN;
}
