#include "app/main_page.h"

#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QGuiApplication>
#include <QProgressBar>
#include <QThread>
#include <QTimer>

#include <memory>
#include <utility>

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "app/tovik_tool_app.h"
#include "bidi/communications/printer_discovery.h"
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
constexpr int kSearchText = 113;
constexpr int kCloseText = 200;
constexpr int kCancelText = 201;
constexpr int kSetupHint = 1300;
constexpr int kPrinterSettings = 1301;
constexpr int kSetupHintText = 400;
constexpr int kPrinterSettingsText = 401;
constexpr int kSetupHintWithoutToolText = 402;
constexpr int kFiringPage = 129;
constexpr int kIpAddressPage = 307;

// Control and string id of each text of the page.
constexpr std::pair<int, int> kTexts[] = {
    {1043, 107}, {1044, 108}, {1002, 113}, {1110, 153}, {1109, 152}, {1045, 109},
    {1141, 241}, {1142, 242}, {1024, 114}, {1046, 110}, {1153, 258}, {1154, 259},
    {1025, 115}, {1047, 111}, {1005, 116}, {1048, 112}, {1006, 106}, {1049, 131},
    {1007, 307}, {1050, 308}, {1008, 313}, {1051, 314},
};

// The first page of each task, in the order the radios are tested; no task
// selected means the firing adjustment.
constexpr std::pair<int, int> kRouting[] = {
    {1025, 138}, {1005, kIpAddressPage}, {1006, 201}, {1141, 228}, {1153, 252}, {1007, 309},
    {1008, 310},
};

// A wait cursor for as long as the page waits on the printer.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

CMainPage::CMainPage() : ui::PropertyPage(CTovikSheet::kMainPageTemplate) {}

// A search still running has to end before the page goes; it takes about a
// second at most.
CMainPage::~CMainPage() {
    if (search_ != nullptr) {
        search_->wait();
        delete search_;
    }
}

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

    // The busy indicator sits beside the list, hidden until a search takes
    // long enough to be noticed.
    busy_ = new QProgressBar(this);
    busy_->setRange(0, 0);
    busy_->setTextVisible(false);
    busy_->setMaximumWidth(busy_->fontMetrics().averageCharWidth() * 10);
    busy_->setAccessibleName(ItemText(kSearch));
    busy_->hide();
    if (auto* row = findChild<QBoxLayout*>(QStringLiteral("printer_row"))) {
        row->insertWidget(1, busy_);
    }
    busyDelay_ = new QTimer(this);
    busyDelay_->setSingleShot(true);
    busyDelay_->setInterval(kBusyIndicatorDelayMs);
    connect(busyDelay_, &QTimer::timeout, this, [this] {
        if (IsSearching()) {
            busy_->show();
        }
    });

    printerSettings_ = FindPrinterSettingsTool();
    SetControlText(Item(kPrinterSettings), kPrinterSettingsText);
    ShowSetupHint(false);
    OnClicked(kPrinterSettings, [this] {
        if (printerSettings_ && !OpenPrinterSettings(*printerSettings_)) {
            printerSettings_.reset();  // the line then says what else to do
            ShowSetupHint(true);
        }
    });

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
    TheSheet()->EnableCancel(true);
    TheSheet()->SetCancelButtonText(kCloseText);
    StartRebuild(Then::Activation);
    return true;
}

bool CMainPage::HasEntries() const {
    const auto* list = ItemAs<QComboBox>(kPrinterList);
    return list != nullptr && list->count() > 0;
}

void CMainPage::RebuildPrinterList() {
    StartRebuild(Then::Nothing);
}

void CMainPage::StartRebuild(Then then) {
    if (then != Then::Nothing || !IsSearching()) {
        then_ = then;
    }
    if (IsSearching()) {
        return;  // the search under way delivers a fresh list
    }
    if (CTovikToolApp::Instance().IsDemoMode() != 0) {
        FinishRebuild({});
        return;
    }

    // Next must wait for the complete list: a printer chosen from the old
    // one may be gone.
    TheSheet()->SetWizardButtons(0);
    SetBusy(true);
    auto found = std::make_shared<std::vector<Entry>>();
    search_ = QThread::create([found] {
        try {
            for (const KpBidi::DiscoveredPrinter& printer : KpBidi::DiscoverPrinters()) {
                found->push_back({QString::fromStdString(printer.name), printer.address});
            }
        } catch (...) {
            // A print system that cannot be searched has no printers to offer.
            found->clear();
        }
    });
    connect(search_, &QThread::finished, this, [this, found] {
        search_->wait();
        delete search_;
        search_ = nullptr;
        SetBusy(false);
        FinishRebuild(*found);
    });
    search_->start();
}

void CMainPage::SetBusy(bool busy) {
    auto* list = ItemAs<QComboBox>(kPrinterList);
    if (busy) {
        listHadFocus_ = list != nullptr && list->hasFocus();
        busyDelay_->start();
        setCursor(Qt::BusyCursor);
    } else {
        busyDelay_->stop();
        busy_->hide();
        unsetCursor();
    }
    EnableItem(kPrinterList, !busy);
    EnableItem(kSearch, !busy);
    if (!busy && listHadFocus_ && list != nullptr) {
        list->setFocus();
    }
    if (list != nullptr) {
        list->setAccessibleDescription(busy ? ItemText(kSearch) : QString());
    }
}

void CMainPage::FinishRebuild(const std::vector<Entry>& printers) {
    if (CTovikToolApp::Instance().IsDemoMode() != 0) {
        FillList({{QStringLiteral("Virtual printer"), 0}});
    } else {
        FillList(printers);
    }
    ShowSetupHint(!HasEntries());
    const Then then = std::exchange(then_, Then::Nothing);
    switch (then) {
        case Then::Activation:
            TheSheet()->SetWizardButtonsDeferred(HasEntries() ? ui::kWizNext : 0);
            break;
        case Then::Search:
            TheSheet()->SetWizardButtons(HasEntries() ? ui::kWizNext : 0);
            break;
        case Then::Nothing:
            break;
    }
    emit printerListRebuilt();
}

void CMainPage::ShowSetupHint(bool show) {
    SetControlText(Item(kSetupHint), printerSettings_ ? kSetupHintText : kSetupHintWithoutToolText);
    const QString hint = ItemText(kSetupHint);
    if (QWidget* line = Item(kSetupHint)) {
        line->setAccessibleName(hint);
    }
    if (QWidget* button = Item(kPrinterSettings)) {
        button->setAccessibleDescription(hint);  // what the button is for
    }
    ShowItem(kSetupHint, show);
    ShowItem(kPrinterSettings, show && printerSettings_.has_value());
    if (show) {
        TheSheet()->FitHeightToContents();  // the line must not squeeze the tasks
    }
}

void CMainPage::FillList(const std::vector<Entry>& printers) {
    auto* list = ItemAs<QComboBox>(kPrinterList);
    if (list == nullptr) {
        return;
    }
    const QString remembered = list->currentIndex() >= 0 ? list->currentText() : QString();
    list->clear();
    for (const Entry& printer : printers) {
        ui::AddComboItem(list, printer.name, printer.address);
    }
    // The first entry that begins with the name selected before, in any
    // letter case; else the first entry.
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
    StartRebuild(Then::Search);
}

int CMainPage::OnWizardNext() {
    if (IsSearching()) {
        return -1;
    }
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

    int target = kFiringPage;
    for (const auto& [radio, page] : kRouting) {
        if (IsItemChecked(radio)) {
            target = page;
            break;
        }
    }
    // The IP address pages start from the printer's current address mode.
    if (target == kIpAddressPage) {
        int code = 0;
        {
            const WaitCursor waiting;
            code = sheet->ReadIpMode();
        }
        if (code != 0) {
            sheet->ShowErrorMessage(code);
            return -1;
        }
    }
    sheet->SetReturnPage(CTovikSheet::kMainPageTemplate);
    sheet->SetCancelButtonText(kCancelText);
    return target;
}
