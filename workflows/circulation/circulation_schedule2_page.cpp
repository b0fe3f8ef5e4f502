#include "workflows/circulation/circulation_schedule2_page.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "workflows/circulation/schedule_time.h"
#include "workflows/common/reported_operation.h"

using kpm::workflows::RunReportingFailure;
using namespace kpm::ids;

static_assert(IDC_CIRCULATION_SCHEDULE2_BOX8 - IDC_CIRCULATION_SCHEDULE2_BOX1 + 1 ==
              CCirculationSchedule2Page::kBoxCount);
static_assert(IDC_CIRCULATION_SCHEDULE2_ENHANCED8 - IDC_CIRCULATION_SCHEDULE2_ENHANCED1 + 1 ==
              CCirculationSchedule2Page::kBoxCount);

namespace {

using kpm::workflows::circulation::GapsWithinLimits;
using kpm::workflows::circulation::ParsedTime;
using kpm::workflows::circulation::ParseTimeText;
using kpm::workflows::circulation::TimeFailure;
using kpm::workflows::circulation::TimeText;

constexpr int kMinimumEntries = 6;
const QString kNoMarker = QStringLiteral("*");

bool IsFourDigits(const QString& text) {
    return text.size() == 4 &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

}  // namespace

CCirculationSchedule2Page::CCirculationSchedule2Page()
    : StepPage({IDD_CIRCULATION_SCHEDULE2,
                {{IDC_CIRCULATION_SCHEDULE2_CAPTION, IDS_STEP2},
                 {IDC_CIRCULATION_SCHEDULE2_TITLE, IDS_CIRC_TITLE},
                 {IDC_CIRCULATION_SCHEDULE2_TIME_LABEL, IDS_CIRC_CURRENT_TIME},
                 {IDC_CIRCULATION_SCHEDULE2_HEADING, IDS_CIRC_START_TIMES},
                 {IDC_CIRCULATION_SCHEDULE2_INSTRUCTION, IDS_CIRC_INSTRUCTION},
                 {IDC_CIRCULATION_SCHEDULE2_DATE_WARNING, IDS_CIRC_DATE_WARNING}},
                {IDC_CIRCULATION_SCHEDULE2_CAPTION}}) {
    // Enter moves between the boxes here (see eventFilter).
    SetConsumesEnter();
}

void CCirculationSchedule2Page::OnInitDialog() {
    StepPage::OnInitDialog();
    CTovikSheet& sheet = *TheSheet();
    kpm::workflows::MakeDateWarning(sheet, Item(IDC_CIRCULATION_SCHEDULE2_DATE_WARNING));
    const QString heading = ItemText(IDC_CIRCULATION_SCHEDULE2_HEADING);
    for (int k = 0; k < kBoxCount; ++k) {
        SetControlText(Item(Radio(k)), IDS_CIRC_ENHANCED1 + k);
        if (auto* box = ItemAs<QLineEdit>(Box(k))) {
            box->setMaxLength(kBoxLength);
            box->setMaximumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00:00")) * 2);
            // Read out as the heading with its radio's number.
            box->setAccessibleName(heading + QLatin1Char(' ') + ItemText(Radio(k)));
        }
        OnEditChange(Box(k), [this, k] { OnBoxEdited(k); });
    }
    // Keys of the boxes and radios, and mouse releases anywhere on the page.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
    time_.Start(*this);
}

void CCirculationSchedule2Page::OnTimer(int id) {
    time_.OnTimer(*this, id);
}

bool CCirculationSchedule2Page::OnSetActive() {
    if (!loaded_) {
        int count = 0;
        std::array<int, 8> time{};
        std::array<int, 8> enhanced{};
        TheSheet()->GetCirculationSchedule(count, time, enhanced);
        for (int i = 0; i < std::min(count, kBoxCount); ++i) {
            SetItemText(Box(i), TimeText(time[static_cast<std::size_t>(i)]));
            if (enhanced[static_cast<std::size_t>(i)] != 0) {
                CheckRadio(Radio(0), Radio(kBoxCount - 1), Radio(i));
            }
        }
        loaded_ = true;
    }
    UpdateButtons();
    return true;
}

void CCirculationSchedule2Page::UpdateButtons() {
    bool any = false;
    for (int k = 0; k < kBoxCount; ++k) {
        any = any || !ItemText(Box(k)).isEmpty();
    }
    TheSheet()->SetWizardButtonsDeferred(any ? ui::kWizBack | ui::kWizNext : ui::kWizBack);
}

bool CCirculationSchedule2Page::Normalise(int k) {
    const QString text = ItemText(Box(k));
    const ParsedTime time = ParseTimeText(text);
    if (time.IsValid()) {
        SetItemText(Box(k), TimeText(time.code));
        return true;
    }
    if (!text.isEmpty()) {
        // Emptied before the message, so that the box the message is about
        // is already as the user will find it.
        SetItemText(Box(k), QString());
        if (time.failure == TimeFailure::OutOfRange) {
            ShowMessage(IDS_CIRC_OUT_OF_RANGE, 0);
        }
    }
    return false;
}

void CCirculationSchedule2Page::NormaliseAll() {
    for (int k = 0; k < kBoxCount; ++k) {
        Normalise(k);
    }
}

void CCirculationSchedule2Page::OnBoxEdited(int k) {
    const QString text = ItemText(Box(k));
    if (IsFourDigits(text) || (text.size() == kBoxLength && ParseTimeText(text).IsValid())) {
        Normalise(k);
    }
    UpdateButtons();
}

int CCirculationSchedule2Page::ControlIndex(const QObject* watched) const {
    for (int k = 0; k < kBoxCount; ++k) {
        if (watched == Item(Box(k))) {
            return k;
        }
        if (watched == Item(Radio(k))) {
            return kBoxCount + k;
        }
    }
    return -1;
}

bool CCirculationSchedule2Page::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress: {
            const int index = ControlIndex(watched);
            if (index >= 0 && OnKey(index, event)) {
                return true;
            }
            break;
        }
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton || mouse->button() == Qt::RightButton) {
                NormaliseAll();
            }
            break;
        }
        default:
            break;
    }
    return StepPage::eventFilter(watched, event);
}

bool CCirculationSchedule2Page::OnKey(int index, QEvent* event) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool shift = (key->modifiers() & Qt::ShiftModifier) != 0;
    const int k = index % kBoxCount;
    // Tab never reaches the radios, so the arrows do: Right at the end of a
    // box goes to its radio, Left on the radio back to the box.
    if (key->key() == Qt::Key_Right && index < kBoxCount && key->modifiers() == Qt::NoModifier) {
        const auto* box = ItemAs<QLineEdit>(Box(k));
        if (box == nullptr || box->hasSelectedText() ||
            box->cursorPosition() < box->text().size()) {
            return false;
        }
        Normalise(k);
        if (QWidget* radio = Item(Radio(k))) {
            radio->setFocus(Qt::OtherFocusReason);
        }
        return true;
    }
    if (key->key() == Qt::Key_Left && index >= kBoxCount && key->modifiers() == Qt::NoModifier) {
        if (QWidget* box = Item(Box(k))) {
            box->setFocus(Qt::OtherFocusReason);
        }
        return true;
    }
    bool forward = false;
    switch (key->key()) {
        case Qt::Key_Tab:
            forward = !shift;
            break;
        case Qt::Key_Backtab:
            forward = false;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (shift) {
                return true;  // never the sheet's default button
            }
            forward = true;
            break;
        default:
            return false;
    }
    // A radio stands beside its box in the reading order: on from it is the
    // next box, back from it its own box.
    int from = k;
    if (index >= kBoxCount) {
        if (!forward) {
            from = (from + 1) % kBoxCount;
        }
    } else {
        Normalise(from);
    }
    const int to = (from + (forward ? 1 : kBoxCount - 1)) % kBoxCount;
    if (QWidget* box = Item(Box(to))) {
        box->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    }
    return true;
}

int CCirculationSchedule2Page::OnWizardBack() {
    TheSheet()->SetReturnPage(IDD_CIRCULATION_SCHEDULE2);
    return 0;
}

int CCirculationSchedule2Page::OnWizardNext() {
    // 1. Every box as "HH:MM" or empty; was the last one filled valid?
    bool lastValid = false;
    for (int k = 0; k < kBoxCount; ++k) {
        const bool filled = !ItemText(Box(k)).isEmpty();
        const bool valid = Normalise(k);
        if (filled) {
            lastValid = valid;
        }
    }
    // 2. The working list, sorted and without repeats; the enhanced marker.
    list_.clear();
    enhanced_ = kNoMarker;
    for (int k = 0; k < kBoxCount; ++k) {
        const QString text = ItemText(Box(k));
        if (!text.isEmpty()) {
            list_.append(text);
        }
        if (IsItemChecked(Radio(k))) {
            enhanced_ = text;
        }
    }
    list_.sort();
    list_.removeDuplicates();

    int problem = 0;
    if (!lastValid || list_.size() < kMinimumEntries) {
        problem = list_.size() < kMinimumEntries ? IDS_CIRC_TOO_FEW : IDS_CIRC_GAP;
    } else if (!GapsWithinLimits(list_)) {
        problem = IDS_CIRC_GAP;
    } else if (enhanced_ == kNoMarker) {
        problem = IDS_CIRC_NO_ENHANCED;
    } else if (enhanced_.isEmpty()) {
        problem = IDS_CIRC_ENHANCED_EMPTY;
    }
    if (problem != 0) {
        ShowMessage(problem, 0);
        ShowWorkingList();
        return -1;
    }

    CTovikSheet& sheet = *TheSheet();
    const std::uint32_t seconds = kpm::workflows::PrinterClockSeconds(time_.Now());
    std::array<int, 8> times{};
    std::array<int, 8> flags{};
    for (qsizetype i = 0; i < list_.size(); ++i) {
        times[static_cast<std::size_t>(i)] = ParseTimeText(list_[i]).code;
        flags[static_cast<std::size_t>(i)] = list_[i] == enhanced_ ? 1 : 0;
    }
    const int count = static_cast<int>(list_.size());
    // Every setting sets the printer's clock before its schedule.
    const bool written =
        RunReportingFailure(sheet, [&] { return sheet.SetPrinterClock(seconds); }) &&
        RunReportingFailure(sheet,
                            [&] { return sheet.WriteCirculationSchedule(count, times, flags); });
    if (!written) {
        ShowWorkingList();
        return -1;
    }
    ShowInformation(IDS_CIRC_SCHEDULE_SET, this);
    ShowWorkingList();
    return IDD_MAIN;
}

void CCirculationSchedule2Page::ShowWorkingList() {
    for (int k = 0; k < kBoxCount; ++k) {
        const bool used = k < list_.size();
        SetItemText(Box(k), used ? list_[k] : QString());
        CheckItem(Radio(k), used && list_[k] == enhanced_);
    }
}
