#include "workflows/head/vrating1_page.h"

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "workflows/common/printer_operation.h"

namespace {

constexpr int kCaption = 1140;
constexpr int kColorRadio = 1135;
constexpr int kWhiteRadio = 1136;
constexpr int kColorStatus = 1153;
constexpr int kWhiteStatus = 1154;
constexpr int kDoneText = 126;
constexpr int kNotDoneText = 127;
constexpr int kSerialPage = 229;

// What the printer reports when it sends no V-ratings (demo mode).
constexpr int kDefaultColorVRating = 6;
constexpr int kDefaultWhiteVRating = 9;

}  // namespace

CVRating1Page::CVRating1Page()
    : StepPage({kTemplate,
                {{kCaption, 192},
                 {1143, 243},
                 {1139, 244},
                 {kColorRadio, 245},
                 {kWhiteRadio, 246},
                 {kColorStatus, kNotDoneText},
                 {kWhiteStatus, kNotDoneText}},
                {kCaption},
                ui::kWizBack | ui::kWizNext}) {}

int CVRating1Page::HeadIndex() const {
    if (IsItemChecked(kColorRadio)) {
        return 0;
    }
    return IsItemChecked(kWhiteRadio) ? 1 : -1;
}

void CVRating1Page::ShowStatus() {
    const auto& done = TheSheet()->m_bHeadSettingDone;
    const int ids[] = {kColorStatus, kWhiteStatus};
    for (std::size_t head = 0; head < 2; ++head) {
        QString text;
        LoadText(done[head] == 1 ? kDoneText : kNotDoneText, text);
        SetItemText(ids[head], text);
        // Screen readers read the status with its head.
        if (QWidget* radio = Item(head == 0 ? kColorRadio : kWhiteRadio)) {
            radio->setAccessibleDescription(text);
        }
    }
}

bool CVRating1Page::OnSetActive() {
    StepPage::OnSetActive();
    CheckItem(kColorRadio, false);
    CheckItem(kWhiteRadio, false);
    const auto& done = TheSheet()->m_bHeadSettingDone;
    const bool whiteNext = done[0] != 0 && done[1] == 0;
    CheckRadio(kColorRadio, kWhiteRadio, whiteNext ? kWhiteRadio : kColorRadio);
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
    return kSerialPage;
}

int CVRating1Page::OnWizardBack() {
    return CTovikSheet::kMainPageTemplate;
}
