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

using namespace kpm::ids;

namespace {

// Control and text of each text of the page.
constexpr std::pair<int, int> kTexts[] = {
    {IDC_MAIN_TURN_ON, IDS_TURN_PRINTER_ON},
    {IDC_MAIN_SELECT_PRINTER, IDS_SELECT_PRINTER},
    {IDC_MAIN_SEARCH, IDS_SEARCH},
    {IDC_MAIN_MODEL_740, IDS_MODEL_740},
    {IDC_MAIN_MODEL_730, IDS_MODEL_730},
    {IDC_MAIN_SELECT_ITEM, IDS_SELECT_ITEM},
    {IDC_MAIN_HEAD_REPLACEMENT, IDS_TASK_HEAD_REPLACEMENT},
    {IDC_MAIN_HEAD_REPLACEMENT_TEXT, IDS_TASK_HEAD_REPLACEMENT_TEXT},
    {IDC_MAIN_FIRING, IDS_TASK_FIRING},
    {IDC_MAIN_FIRING_TEXT, IDS_TASK_FIRING_TEXT},
    {IDC_MAIN_PLATEN_ROLLING, IDS_TASK_PLATEN_ROLLING},
    {IDC_MAIN_PLATEN_ROLLING_TEXT, IDS_TASK_PLATEN_ROLLING_TEXT},
    {IDC_MAIN_ALIGNMENT, IDS_TASK_ALIGNMENT},
    {IDC_MAIN_ALIGNMENT_TEXT, IDS_TASK_ALIGNMENT_TEXT},
    {IDC_MAIN_IP_ADDRESS, IDS_TASK_IP_ADDRESS},
    {IDC_MAIN_IP_ADDRESS_TEXT, IDS_TASK_IP_ADDRESS_TEXT},
    {IDC_MAIN_LOG, IDS_TASK_LOG},
    {IDC_MAIN_LOG_TEXT, IDS_TASK_LOG_TEXT},
    {IDC_MAIN_CLOCK, IDS_TASK_CLOCK},
    {IDC_MAIN_CLOCK_TEXT, IDS_TASK_CLOCK_TEXT},
    {IDC_MAIN_CIRCULATION, IDS_TASK_CIRCULATION},
    {IDC_MAIN_CIRCULATION_TEXT, IDS_TASK_CIRCULATION_TEXT},
};

// The first page of each task, in the order the radios are tested; no task
// selected means the firing adjustment.
constexpr std::pair<int, int> kRouting[] = {
    {IDC_MAIN_ALIGNMENT, IDD_POS2},
    {IDC_MAIN_IP_ADDRESS, IDD_IP3},
    {IDC_MAIN_LOG, IDD_LOG1},
    {IDC_MAIN_HEAD_REPLACEMENT, IDD_VRATING1},
    {IDC_MAIN_PLATEN_ROLLING, IDD_IMPACT_PRECHECK},
    {IDC_MAIN_CLOCK, IDD_LOCAL_TIME_SETTING1},
    {IDC_MAIN_CIRCULATION, IDD_CIRCULATION_SCHEDULE1},
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

CMainPage::CMainPage() : ui::PropertyPage(IDD_MAIN) {}

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
    TheSheet()->SetBoldFont(Item(IDC_MAIN_SELECT_ITEM));
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
    busy_->setAccessibleName(ItemText(IDC_MAIN_SEARCH));
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
    SetControlText(Item(IDC_MAIN_PRINTER_SETTINGS), IDS_PRINTER_SETTINGS);
    ShowSetupHint(false);
    OnClicked(IDC_MAIN_PRINTER_SETTINGS, [this] {
        if (printerSettings_ && !OpenPrinterSettings(*printerSettings_)) {
            printerSettings_.reset();  // the line then says what else to do
            ShowSetupHint(true);
        }
    });

    CheckItem(IDC_MAIN_HEAD_REPLACEMENT, true);
    CheckItem(IDC_MAIN_MODEL_740, true);
    ShowItem(IDC_MAIN_MODEL_740, false);
    ShowItem(IDC_MAIN_MODEL_730, false);
    ApplyModelRule();

    OnClicked(IDC_MAIN_MODEL_740, [this] { ApplyModelRule(); });
    OnClicked(IDC_MAIN_MODEL_730, [this] { ApplyModelRule(); });
    OnClicked(IDC_MAIN_SEARCH, [this] { OnSearch(); });
    OnSelChange(IDC_MAIN_PRINTER_LIST, [this] { OnSelectionChange(); });
}

void CMainPage::ApplyModelRule() {
    // A printer without white heads has nothing to align.
    const bool withoutWhite = IsItemChecked(IDC_MAIN_MODEL_730);
    EnableItem(IDC_MAIN_ALIGNMENT, !withoutWhite);
    EnableItem(IDC_MAIN_ALIGNMENT_TEXT, !withoutWhite);
    if (withoutWhite && IsItemChecked(IDC_MAIN_ALIGNMENT)) {
        CheckItem(IDC_MAIN_FIRING, true);
    }
}

bool CMainPage::OnSetActive() {
    TheSheet()->EnableCancel(true);
    TheSheet()->SetCancelButtonText(IDS_CLOSE);
    StartRebuild(Then::Activation);
    return true;
}

bool CMainPage::HasEntries() const {
    const auto* list = ItemAs<QComboBox>(IDC_MAIN_PRINTER_LIST);
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
    auto* list = ItemAs<QComboBox>(IDC_MAIN_PRINTER_LIST);
    if (busy) {
        listHadFocus_ = list != nullptr && list->hasFocus();
        busyDelay_->start();
        setCursor(Qt::BusyCursor);
    } else {
        busyDelay_->stop();
        busy_->hide();
        unsetCursor();
    }
    EnableItem(IDC_MAIN_PRINTER_LIST, !busy);
    EnableItem(IDC_MAIN_SEARCH, !busy);
    if (!busy && listHadFocus_ && list != nullptr) {
        list->setFocus();
    }
    if (list != nullptr) {
        list->setAccessibleDescription(busy ? ItemText(IDC_MAIN_SEARCH) : QString());
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
    SetControlText(Item(IDC_MAIN_SETUP_HINT),
                   printerSettings_ ? IDS_SETUP_HINT : IDS_SETUP_HINT_WITHOUT_TOOL);
    const QString hint = ItemText(IDC_MAIN_SETUP_HINT);
    if (QWidget* line = Item(IDC_MAIN_SETUP_HINT)) {
        line->setAccessibleName(hint);
    }
    if (QWidget* button = Item(IDC_MAIN_PRINTER_SETTINGS)) {
        button->setAccessibleDescription(hint);  // what the button is for
    }
    ShowItem(IDC_MAIN_SETUP_HINT, show);
    ShowItem(IDC_MAIN_PRINTER_SETTINGS, show && printerSettings_.has_value());
    if (show) {
        TheSheet()->FitHeightToContents();  // the line must not squeeze the tasks
    }
}

void CMainPage::FillList(const std::vector<Entry>& printers) {
    auto* list = ItemAs<QComboBox>(IDC_MAIN_PRINTER_LIST);
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
    auto* list = ItemAs<QComboBox>(IDC_MAIN_PRINTER_LIST);
    const bool empty = list == nullptr || list->count() == 0;
    if (empty) {
        EnableItem(IDC_MAIN_IP_ADDRESS, true);
        EnableItem(IDC_MAIN_IP_ADDRESS_TEXT, true);
        TheSheet()->SetWizardButtons(0);
        if (IsItemChecked(IDC_MAIN_IP_ADDRESS)) {
            CheckItem(IDC_MAIN_HEAD_REPLACEMENT, true);
        }
        return;
    }
    const int index = list->currentIndex();
    const bool network = index < 0 || ui::ComboItemValue(list, index) != 0;
    // The address of a printer on the network is set at the printer or by
    // the network; only a USB printer takes it from here.
    EnableItem(IDC_MAIN_IP_ADDRESS, !network);
    EnableItem(IDC_MAIN_IP_ADDRESS_TEXT, !network);
    if (network && IsItemChecked(IDC_MAIN_IP_ADDRESS)) {
        CheckItem(IDC_MAIN_HEAD_REPLACEMENT, true);
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
    auto* list = ItemAs<QComboBox>(IDC_MAIN_PRINTER_LIST);
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
    sheet->SetHasWhiteHeads(IsItemChecked(IDC_MAIN_MODEL_730) ? 0 : 1);

    int target = IDD_FIRE1;
    for (const auto& [radio, page] : kRouting) {
        if (IsItemChecked(radio)) {
            target = page;
            break;
        }
    }
    // The IP address pages start from the printer's current address mode.
    if (target == IDD_IP3) {
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
    sheet->SetReturnPage(IDD_MAIN);
    sheet->SetCancelButtonText(IDS_CANCEL);
    return target;
}
