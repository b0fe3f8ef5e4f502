#include "workflows/firing/fire1_page.h"

#include "app/texts.h"
#include "app/tovik_sheet.h"

namespace {

constexpr int kColour1200 = 1008;
constexpr int kWhite1200 = 1009;
constexpr int kColour600 = 1006;
constexpr int kWhite600 = 1007;
constexpr int kLabel600 = 1113;
// Radios and status labels of combinations 0 to 3.
constexpr std::array<int, 4> kRadios{kColour1200, kWhite1200, kColour600, kWhite600};
constexpr std::array<int, 4> kStatus{1026, 1027, 1028, 1029};
constexpr int kDoneText = 126;
constexpr int kNotDoneText = 127;

}  // namespace

CFire1Page::CFire1Page()
    : StepPage({129,
                {{1052, 192},
                 {1051, 119},
                 {1056, 120},
                 {1114, 155},
                 {1113, 167},
                 {kColour1200, 121},
                 {kWhite1200, 122},
                 {kColour600, 123},
                 {kWhite600, 124}},
                {1052}}) {}

void CFire1Page::OnInitDialog() {
    StepPage::OnInitDialog();
    CheckRadio(kColour600, kWhite1200, kColour1200);
    if ((TheSheet()->GetSetupMode() & 1) == 0) {
        ShowItem(kLabel600, false);
        ShowItem(kColour600, false);
        ShowItem(kStatus[2], false);
    }
    // 600 dpi white has no pattern of its own.
    ShowItem(kWhite600, false);
    ShowItem(kStatus[3], false);
}

bool CFire1Page::OnSetActive() {
    StepPage::OnSetActive();
    CTovikSheet* sheet = TheSheet();
    const bool white = sheet->GetHasWhiteHeads() != 0;
    EnableItem(kWhite1200, white);
    ShowItem(kStatus[1], white);
    for (std::size_t code = 0; code < kStatus.size(); ++code) {
        LoadText(sheet->m_bFiringDone[code] != 0 ? kDoneText : kNotDoneText, m_strStatus[code]);
        SetItemText(kStatus[code], m_strStatus[code]);
        // Screen readers tell the status with the combination's radio.
        if (QWidget* radio = Item(kRadios[code])) {
            radio->setAccessibleDescription(m_strStatus[code]);
        }
    }
    m_nReturnPage = sheet->GetReturnPage();
    sheet->SetReturnPage(-1);
    // Back from step 2 and step 6's buttons keep the combination chosen.
    if (m_nReturnPage != 130 && m_nReturnPage != 134) {
        ChooseDefaultCombination();
    }
    return true;
}

void CFire1Page::ChooseDefaultCombination() {
    const CTovikSheet* sheet = TheSheet();
    int radio = kColour1200;
    if (sheet->m_bFiringDone[0] != 0) {
        if (sheet->m_bFiringDone[1] == 0 && sheet->GetHasWhiteHeads() != 0) {
            radio = kWhite1200;
        } else if (sheet->m_bFiringDone[2] == 0 && (sheet->GetSetupMode() & 1) != 0) {
            radio = kColour600;
        }
    }
    CheckRadio(kColour600, kWhite1200, radio);
}

int CFire1Page::OnWizardNext() {
    int combination = 0;
    if (IsItemChecked(kWhite1200)) {
        combination = 1;
    } else if (IsItemChecked(kColour600)) {
        combination = 2;
    }
    TheSheet()->SetFiringCombination(combination);
    return 130;
}

int CFire1Page::OnWizardBack() {
    return m_nReturnPage == 134 ? 134 : CTovikSheet::kMainPageTemplate;
}
