#include "workflows/head/vrating2_page.h"

#include <QComboBox>
#include <QLineEdit>

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "app/tovik_tool_app.h"
#include "workflows/common/printer_operation.h"
#include "workflows/head/head_serial.h"

using namespace kpm::ids;

namespace {

constexpr int kUnrecognizedSerial = -223;
constexpr int kNoVRating = -57;
constexpr int kBadHeadChoice = -56;
// Selected when the dialog is first made: V-rating 9.
constexpr int kInitialVRatingIndex = 8;

// What demo mode fills in, per head.
const char* const kSampleSerials[] = {"GXA1234", "XAA1234"};

}  // namespace

// The buttons on entry depend on demo mode; OnSetActive sets them.
CVRating2Page::CVRating2Page()
    : StepPage({IDD_VRATING2,
                {{IDC_VRATING2_CAPTION, IDS_STEP2},
                 {IDC_VRATING2_TITLE, IDS_HEAD_CONFIGURE},
                 {IDC_VRATING2_INSTRUCTION, IDS_HEAD_SPECIFY_SERIAL},
                 {IDC_VRATING2_HEAD_LABEL, IDS_HEAD_SELECTION},
                 {IDC_VRATING2_SERIAL_LABEL, IDS_HEAD_SERIAL},
                 {IDC_VRATING2_VRATING_LABEL, IDS_HEAD_VRATING}},
                {IDC_VRATING2_CAPTION}}) {}

void CVRating2Page::OnInitDialog() {
    StepPage::OnInitDialog();
    // Highest first; the list's own sorting would put "10" before "2".
    if (auto* list = ItemAs<QComboBox>(IDC_VRATING2_VRATING)) {
        for (int value = kHighestVRating; value >= 1; --value) {
            list->insertItem(list->count(), QString::number(value));
        }
        list->setCurrentIndex(kInitialVRatingIndex);
    }
    OnEditChange(IDC_VRATING2_SERIAL, [this] { OnSerialEdited(); });
}

bool CVRating2Page::OnSetActive() {
    CTovikSheet& sheet = *TheSheet();
    serialEdited_ = 0;
    const int head = sheet.m_nSelectedHead == 1 ? 1 : 0;
    QString headText;
    LoadText(head == 1 ? IDS_HEAD_WHITE : IDS_HEAD_COLOR, headText);
    SetItemText(IDC_VRATING2_HEAD, headText);

    // Filling the field is no edit of the user's.
    auto* serial = ItemAs<QLineEdit>(IDC_VRATING2_SERIAL);
    const bool demo = CTovikToolApp::Instance().IsDemoMode() != 0;
    if (serial != nullptr) {
        const QSignalBlocker quiet(serial);
        serial->setText(demo ? QString::fromLatin1(kSampleSerials[head]) : QString());
    }
    sheet.SetWizardButtonsDeferred(demo ? ui::kWizBack | ui::kWizNext : ui::kWizBack);

    const int stored = head == 1 ? sheet.m_nWhiteVRating : sheet.m_nColorVRating;
    const bool known = stored >= 1 && stored <= kHighestVRating;
    SelectIndex(IDC_VRATING2_VRATING, known ? kHighestVRating - stored : -1);
    return true;
}

void CVRating2Page::OnSerialEdited() {
    if (serialEdited_ != 0) {
        return;
    }
    serialEdited_ = 1;
    TheSheet()->SetWizardButtonsDeferred(ui::kWizBack | ui::kWizNext);
}

void CVRating2Page::FocusSerial() {
    if (auto* serial = ItemAs<QLineEdit>(IDC_VRATING2_SERIAL)) {
        serial->setFocus(Qt::OtherFocusReason);
        serial->selectAll();
    }
}

int CVRating2Page::OnWizardNext() {
    CTovikSheet& sheet = *TheSheet();
    const int head = sheet.m_nSelectedHead == 1 ? 1 : 0;
    const std::optional<QString> serial =
        kpm::workflows::ValidHeadSerial(ItemText(IDC_VRATING2_SERIAL), head);
    if (!serial) {
        sheet.ShowErrorMessage(kUnrecognizedSerial);
        FocusSerial();
        return -1;
    }
    int code =
        kpm::workflows::RunPrinterOperation(sheet, [&] { return sheet.WriteHeadSerial(*serial); });
    if (code != 0) {
        sheet.ShowErrorMessage(code);
        FocusSerial();
        return -1;
    }

    const int index = SelectedIndex(IDC_VRATING2_VRATING);
    if (index < 0 || index >= kHighestVRating) {
        sheet.ShowErrorMessage(kNoVRating);
        return -1;
    }
    if (sheet.GetHeadChoice() >= 2) {
        sheet.ShowErrorMessage(kBadHeadChoice);
        return -1;
    }
    const int vRating = kHighestVRating - index;
    code = kpm::workflows::RunPrinterOperation(sheet, [&] { return sheet.WriteVRating(vRating); });
    if (code != 0) {
        sheet.ShowErrorMessage(code);
        return -1;
    }

    sheet.MarkHeadSettingDone();
    if (sheet.m_bHeadSettingDone[0] != 0 && sheet.m_bHeadSettingDone[1] != 0) {
        ShowInformation(IDS_HEAD_ALL_DONE, this);
        return IDD_MAIN;
    }
    return IDD_VRATING1;
}

int CVRating2Page::OnWizardBack() {
    return IDD_VRATING1;
}
