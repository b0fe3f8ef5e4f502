#include "workflows/firing/fire1_page.h"

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "workflows/firing/firing_ids.h"

using namespace kpm::ids;

namespace {

// Radios and status labels of combinations 0 to 3.
constexpr std::array<int, 4> kRadios{IDC_FIRE1_COLOR_1200, IDC_FIRE1_WHITE_1200,
                                     IDC_FIRE1_COLOR_600, IDC_FIRE1_WHITE_600};
constexpr std::array<int, 4> kStatus{IDC_FIRE1_STATUS_COLOR_1200, IDC_FIRE1_STATUS_WHITE_1200,
                                     IDC_FIRE1_STATUS_COLOR_600, IDC_FIRE1_STATUS_WHITE_600};

}  // namespace

CFire1Page::CFire1Page()
    : StepPage({IDD_FIRE1,
                {{IDC_FIRE1_CAPTION, IDS_STEP1},
                 {IDC_FIRE1_TITLE, IDS_FIRE_SELECT_HEAD},
                 {IDC_FIRE1_INSTRUCTION, IDS_FIRE_SELECT_COMBINATION},
                 {IDC_FIRE1_LABEL_1200, IDS_FIRE_1200DPI},
                 {IDC_FIRE1_LABEL_600, IDS_FIRE_600DPI},
                 {IDC_FIRE1_COLOR_1200, IDS_FIRE_COLOR_1200},
                 {IDC_FIRE1_WHITE_1200, IDS_FIRE_WHITE_1200},
                 {IDC_FIRE1_COLOR_600, IDS_FIRE_COLOR_600},
                 {IDC_FIRE1_WHITE_600, IDS_FIRE_WHITE_600}},
                {IDC_FIRE1_CAPTION}}) {}

void CFire1Page::OnInitDialog() {
    StepPage::OnInitDialog();
    CheckRadio(IDC_FIRE1_COLOR_600, IDC_FIRE1_WHITE_1200, IDC_FIRE1_COLOR_1200);
    if ((TheSheet()->GetSetupMode() & 1) == 0) {
        ShowItem(IDC_FIRE1_LABEL_600, false);
        ShowItem(IDC_FIRE1_COLOR_600, false);
        ShowItem(kStatus[2], false);
    }
    // 600 dpi white has no pattern of its own.
    ShowItem(IDC_FIRE1_WHITE_600, false);
    ShowItem(kStatus[3], false);
}

bool CFire1Page::OnSetActive() {
    StepPage::OnSetActive();
    CTovikSheet* sheet = TheSheet();
    const bool white = sheet->GetHasWhiteHeads() != 0;
    EnableItem(IDC_FIRE1_WHITE_1200, white);
    ShowItem(kStatus[1], white);
    for (std::size_t code = 0; code < kStatus.size(); ++code) {
        LoadText(sheet->m_bFiringDone[code] != 0 ? IDS_DONE : IDS_NOT_DONE, m_strStatus[code]);
        SetItemText(kStatus[code], m_strStatus[code]);
        // Screen readers tell the status with the combination's radio.
        if (QWidget* radio = Item(kRadios[code])) {
            radio->setAccessibleDescription(m_strStatus[code]);
        }
    }
    m_nReturnPage = sheet->GetReturnPage();
    sheet->SetReturnPage(-1);
    // Back from step 2 and step 6's buttons keep the combination chosen.
    if (m_nReturnPage != IDD_FIRE2 && m_nReturnPage != IDD_FIRE6) {
        ChooseDefaultCombination();
    }
    return true;
}

void CFire1Page::ChooseDefaultCombination() {
    const CTovikSheet* sheet = TheSheet();
    int radio = IDC_FIRE1_COLOR_1200;
    if (sheet->m_bFiringDone[0] != 0) {
        if (sheet->m_bFiringDone[1] == 0 && sheet->GetHasWhiteHeads() != 0) {
            radio = IDC_FIRE1_WHITE_1200;
        } else if (sheet->m_bFiringDone[2] == 0 && (sheet->GetSetupMode() & 1) != 0) {
            radio = IDC_FIRE1_COLOR_600;
        }
    }
    CheckRadio(IDC_FIRE1_COLOR_600, IDC_FIRE1_WHITE_1200, radio);
}

int CFire1Page::OnWizardNext() {
    int combination = 0;
    if (IsItemChecked(IDC_FIRE1_WHITE_1200)) {
        combination = 1;
    } else if (IsItemChecked(IDC_FIRE1_COLOR_600)) {
        combination = 2;
    }
    TheSheet()->SetFiringCombination(combination);
    return IDD_FIRE2;
}

int CFire1Page::OnWizardBack() {
    return m_nReturnPage == IDD_FIRE6 ? IDD_FIRE6 : IDD_MAIN;
}
