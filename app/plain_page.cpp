#include "app/plain_page.h"

#include "app/app_ids.h"
#include "app/tovik_sheet.h"

bool CPlainPage::OnSetActive() {
    static_cast<CTovikSheet*>(Sheet())->SetWizardButtonsDeferred(ui::kWizBack);
    return true;
}

int CPlainPage::OnWizardBack() {
    return kpm::ids::IDD_MAIN;
}
