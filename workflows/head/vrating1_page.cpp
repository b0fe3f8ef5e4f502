#include "workflows/head/vrating1_page.h"

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "workflows/common/printer_operation.h"

using namespace kpm::ids;

namespace {

// What the printer reports when it sends no V-ratings (demo mode).
constexpr int kDefaultColorVRating = 6;
constexpr int kDefaultWhiteVRating = 9;

}  // namespace

CVRating1Page::CVRating1Page()
    : StepPage({IDD_VRATING1,
                {{IDC_VRATING1_CAPTION, IDS_STEP1},
                 {IDC_VRATING1_TITLE, IDS_HEAD_SPECIFY_HEAD},
                 {IDC_VRATING1_INSTRUCTION, IDS_HEAD_SELECT_HEAD},
                 {IDC_VRATING1_COLOR, IDS_HEAD_COLOR},
                 {IDC_VRATING1_WHITE, IDS_HEAD_WHITE},
                 {IDC_VRATING1_COLOR_STATUS, IDS_NOT_DONE},
                 {IDC_VRATING1_WHITE_STATUS, IDS_NOT_DONE}},
                {IDC_VRATING1_CAPTION},
                ui::kWizBack | ui::kWizNext}) {}

int CVRating1Page::HeadIndex() const {
    if (IsItemChecked(IDC_VRATING1_COLOR)) {
        return 0;
    }
    return IsItemChecked(IDC_VRATING1_WHITE) ? 1 : -1;
}

void CVRating1Page::ShowStatus() {
    const auto& done = TheSheet()->m_bHeadSettingDone;
    const int ids[] = {IDC_VRATING1_COLOR_STATUS, IDC_VRATING1_WHITE_STATUS};
    for (std::size_t head = 0; head < 2; ++head) {
        QString text;
        LoadText(done[head] == 1 ? IDS_DONE : IDS_NOT_DONE, text);
        SetItemText(ids[head], text);
        // Screen readers read the status with its head.
        if (QWidget* radio = Item(head == 0 ? IDC_VRATING1_COLOR : IDC_VRATING1_WHITE)) {
            radio->setAccessibleDescription(text);
        }
    }
}

bool CVRating1Page::OnSetActive() {
    StepPage::OnSetActive();
    CheckItem(IDC_VRATING1_COLOR, false);
    CheckItem(IDC_VRATING1_WHITE, false);
    const auto& done = TheSheet()->m_bHeadSettingDone;
    const bool whiteNext = done[0] != 0 && done[1] == 0;
    CheckRadio(IDC_VRATING1_COLOR, IDC_VRATING1_WHITE,
               whiteNext ? IDC_VRATING1_WHITE : IDC_VRATING1_COLOR);
    ShowStatus();
    return true;
}

int CVRating1Page::OnWizardNext() {
    CTovikSheet& sheet = *TheSheet();
    const int index = HeadIndex();
    int colour = kDefaultColorVRating;
    int white = kDefaultWhiteVRating;
    const int code = kpm::workflows::RunPrinterOperation(
        sheet, [&] { return sheet.ReadHeadVRatings(colour, white); });
    if (code != 0) {
        sheet.ShowErrorMessage(code);
        return -1;
    }
    if (index == 0) {
        sheet.m_nSelectedHead = 0;
        sheet.m_nColorVRating = colour;
    } else if (index == 1) {
        sheet.m_nSelectedHead = 1;
        sheet.m_nWhiteVRating = white;
    }
    sheet.SetHeadChoice(static_cast<std::uint8_t>(index));
    return IDD_VRATING2;
}

int CVRating1Page::OnWizardBack() {
    return IDD_MAIN;
}
