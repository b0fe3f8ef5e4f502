#include "app/main_page.h"

#include <QApplication>
#include <QComboBox>
#include <QRadioButton>

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "app/tovik_tool_app.h"
#include "ui/controls.h"

namespace {

constexpr int kPrinterList = 1001;
constexpr int kSearch = 1002;
constexpr int kModel740 = 1110;
constexpr int kModel730 = 1109;
constexpr int kHeadReplacement = 1141;
constexpr int kFiring = 1024;
constexpr int kAlignment = 1025;
constexpr int kAlignmentText = 1047;
constexpr int kIpAddress = 1005;
constexpr int kIpAddressText = 1048;

// Control and string id of each text of the page.
constexpr std::pair<int, int> kTexts[] = {
    {1043, 107}, {1044, 108}, {1002, 113}, {1110, 153}, {1109, 152}, {1045, 109},
    {1141, 241}, {1142, 242}, {1024, 114}, {1046, 110}, {1153, 258}, {1154, 259},
    {1025, 115}, {1047, 111}, {1005, 116}, {1048, 112}, {1006, 106}, {1049, 131},
    {1007, 307}, {1050, 308}, {1008, 313}, {1051, 314},
};

}  // namespace

CTovikSheet* CMainPage::TheSheet() const {
    return static_cast<CTovikSheet*>(Sheet());
}

void CMainPage::OnInitDialog() {
    TheSheet()->SetBoldFont(Item(1045));
    for (const Task& task : kTasks) {
        TheSheet()->SetSmallFont(Item(task.description));
    }
    for (const auto& [control, text] : kTexts) {
        SetControlText(Item(control), text);
    }
    // Screen readers announce each task's description with its radio.
    for (const Task& task : kTasks) {
        if (QWidget* radio = Item(task.radio)) {
            radio->setAccessibleDescription(ItemText(task.description));
        }
    }

    CheckItem(kHeadReplacement, true);
    CheckItem(kModel740, true);
    ShowItem(kModel740, false);
    ShowItem(kModel730, false);
    ApplyModelRule();

    OnClicked(kModel740, [this] { ApplyModelRule(); });
    OnClicked(kModel730, [this] { ApplyModelRule(); });
    OnClicked(kSearch, [this] { OnSearch(); });
    OnSelChange(kPrinterList, [this] { OnSelectionChange(); });
}

void CMainPage::ApplyModelRule() {
    // A printer without white heads has nothing to align.
    const bool withoutWhite = IsItemChecked(kModel730);
    EnableItem(kAlignment, !withoutWhite);
    EnableItem(kAlignmentText, !withoutWhite);
    if (withoutWhite && IsItemChecked(kAlignment)) {
        CheckItem(kFiring, true);
    }
}

bool CMainPage::OnSetActive() {
    RebuildPrinterList();
    auto* list = ItemAs<QComboBox>(kPrinterList);
    TheSheet()->SetWizardButtonsDeferred(list != nullptr && list->count() > 0 ? ui::kWizNext : 0);
    TheSheet()->EnableCancel(true);
    TheSheet()->SetCancelButtonText(200);
    return true;
}

void CMainPage::RebuildPrinterList() {
    auto* list = ItemAs<QComboBox>(kPrinterList);
    if (list == nullptr) {
        return;
    }
    const QString remembered = list->currentIndex() >= 0 ? list->currentText() : QString();
    list->clear();
    if (CTovikToolApp::Instance().IsDemoMode() != 0) {
        ui::AddComboItem(list, QStringLiteral("Virtual printer"), 0);
    }
    // Printers of the print system are listed once the spooler layer offers
    // its enumeration; until then only demo mode has a printer.
    int select = 0;
    if (!remembered.isEmpty()) {
        for (int i = 0; i < list->count(); ++i) {
            if (list->itemText(i).startsWith(remembered, Qt::CaseInsensitive)) {
                select = i;
                break;
            }
        }
    }
    list->setCurrentIndex(list->count() > 0 ? select : -1);
    OnSelectionChange();
}

void CMainPage::OnSelectionChange() {
    auto* list = ItemAs<QComboBox>(kPrinterList);
    const bool empty = list == nullptr || list->count() == 0;
    if (empty) {
        EnableItem(kIpAddress, true);
        EnableItem(kIpAddressText, true);
        TheSheet()->SetWizardButtons(0);
        if (IsItemChecked(kIpAddress)) {
            CheckItem(kHeadReplacement, true);
        }
        return;
    }
    const int index = list->currentIndex();
    const bool network = index < 0 || ui::ComboItemValue(list, index) != 0;
    // The address of a printer on the network is set at the printer or by
    // the network; only a USB printer takes it from here.
    EnableItem(kIpAddress, !network);
    EnableItem(kIpAddressText, !network);
    if (network && IsItemChecked(kIpAddress)) {
        CheckItem(kHeadReplacement, true);
    }
    TheSheet()->SetWizardButtons(ui::kWizNext);
}

void CMainPage::OnSearch() {
    const Qt::KeyboardModifiers held = QApplication::keyboardModifiers();
    if ((held & Qt::ControlModifier) && (held & Qt::ShiftModifier)) {
        CTovikToolApp::Instance().SetDemoMode();
    }
    RebuildPrinterList();
    auto* list = ItemAs<QComboBox>(kPrinterList);
    TheSheet()->SetWizardButtons(list != nullptr && list->count() > 0 ? ui::kWizNext : 0);
}

int CMainPage::OnWizardNext() {
    CTovikSheet* sheet = TheSheet();
    auto* list = ItemAs<QComboBox>(kPrinterList);
    const QString oldName = sheet->GetPrinterName();
    const int oldAddress = sheet->GetPrinterAddress();
    const int index = list != nullptr ? list->currentIndex() : -1;
    const QString name = index >= 0 ? list->itemText(index) : QString();
    const int address = index >= 0 ? static_cast<int>(ui::ComboItemValue(list, index)) : 0;
    sheet->SetPrinterName(name);
    sheet->SetPrinterAddress(address);
    if (name != oldName || address != oldAddress) {
        sheet->ClearProgress();
    }
    sheet->SetHasWhiteHeads(IsItemChecked(kModel730) ? 0 : 1);

    // The routing tests the radios in this order; no selection means firing.
    // (The IP address task also reads the printer's address mode first once
    // the printer operations are part of the wizard; in demo mode, the only
    // mode with a printer so far, that read always succeeds.)
    static constexpr std::pair<int, int> kRouting[] = {
        {1025, 138}, {1005, 307}, {1006, 201}, {1141, 228}, {1153, 252}, {1007, 309}, {1008, 310},
    };
    int target = 129;
    for (const auto& [radio, page] : kRouting) {
        if (IsItemChecked(radio)) {
            target = page;
            break;
        }
    }
    sheet->SetReturnPage(CTovikSheet::kMainPageTemplate);
    sheet->SetCancelButtonText(201);
    return target;
}
