#include "workflows/log/log2_page.h"

#include <QProgressBar>

#include <chrono>

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "app/tovik_tool_app.h"

using namespace kpm::ids;

namespace {

// Demo mode pauses after every so many steps, so the bar visibly runs.
constexpr int kDemoStepsPerPause = 16;
// Queued progress calls the window may owe at most (a few hundred KiB).
constexpr int kMaxQueuedReports = 4096;

}  // namespace

CLog2Page::~CLog2Page() {
    if (worker_.joinable()) {
        abandoned_ = true;
        // Wakes a worker waiting for the window to catch up.
        queued_ = 0;
        queued_.notify_all();
        worker_.join();
    }
}

// No wizard button until the fetch has ended.
CLog2Page::CLog2Page()
    : StepPage({IDD_LOG2,
                {{IDC_LOG2_CAPTION, IDS_STEP2}, {IDC_LOG2_HEADING, IDS_LOG2_HEADING}},
                {IDC_LOG2_CAPTION},
                0}) {}

void CLog2Page::OnInitDialog() {
    StepPage::OnInitDialog();
    if (QWidget* bar = Item(IDC_LOG2_PROGRESS)) {
        bar->setAccessibleName(ItemText(IDC_LOG2_HEADING).trimmed());
    }
}

bool CLog2Page::OnSetActive() {
    CTovikSheet& sheet = *TheSheet();
    const bool demo = CTovikToolApp::Instance().IsDemoMode() != 0;
    // Step 1 made the file moments ago; if it is gone or cannot be opened
    // now, the user has to choose again.
    if (!demo && !file_.Open(sheet.GetLogFile())) {
        ShowInformation(IDS_LOG_CANNOT_MAKE_FILE, &sheet);
        return false;
    }
    StepPage::OnSetActive();
    sheet.EnableCancel(false);
    SetControlText(Item(IDC_LOG2_STATUS), IDS_LOG_READING);
    if (auto* bar = ItemAs<QProgressBar>(IDC_LOG2_PROGRESS)) {
        bar->setRange(0, kProgressSteps);
        bar->setValue(0);
        bar->setAccessibleDescription(ItemText(IDC_LOG2_STATUS));
    }
    abandoned_ = false;
    queued_ = 0;
    worker_ = std::thread([this, demo] { demo ? RunDemoFetch() : RunFetch(); });
    return true;
}

// On the worker thread.
bool CLog2Page::OnLogChunk(void* context, const unsigned char* data, std::size_t size) {
    auto* page = static_cast<CLog2Page*>(context);
    if (page->abandoned_) {
        return false;
    }
    // A file that cannot take more (a full disk) cannot become a whole log:
    // stop the deliveries and report the failure at the end.
    if (!page->file_.Write(data, size)) {
        return false;
    }
    page->ReportChunk();
    return true;
}

// On the worker thread.
void CLog2Page::RunFetch() {
    const int code = TheSheet()->FetchLog(&CLog2Page::OnLogChunk, this);
    QMetaObject::invokeMethod(
        this, [this, code] { FinishFetch(code); }, Qt::QueuedConnection);
}

// On the worker thread.
void CLog2Page::RunDemoFetch() {
    for (int step = 0; step < kProgressSteps && !abandoned_; ++step) {
        ReportChunk();
        if (step % kDemoStepsPerPause == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    QMetaObject::invokeMethod(
        this, [this] { FinishFetch(0); }, Qt::QueuedConnection);
}

// On the worker thread. Each chunk is one queued call; a printer faster
// than the window (a simulator on loopback) would otherwise pile them up in
// the event queue, so the worker waits while too many are unread.
void CLog2Page::ReportChunk() {
    for (int owed = queued_.load(); owed >= kMaxQueuedReports && !abandoned_;
         owed = queued_.load()) {
        queued_.wait(owed);
    }
    ++queued_;
    QMetaObject::invokeMethod(
        this, [this] { OnFetchProgress(); }, Qt::QueuedConnection);
}

void CLog2Page::OnFetchProgress() {
    // The worker resumes once half the calls it waits for have run.
    if (queued_.fetch_sub(1) - 1 == kMaxQueuedReports / 2) {
        queued_.notify_one();
    }
    if (auto* bar = ItemAs<QProgressBar>(IDC_LOG2_PROGRESS)) {
        bar->setValue(bar->value() + 1);
    }
}

void CLog2Page::FinishFetch(int code) {
    // The worker posted this as its last act.
    worker_.join();
    // Only a file that was closed whole holds the log.
    const bool saved = !file_.IsOpen() || file_.Close();

    CTovikSheet& sheet = *TheSheet();
    sheet.SetWizardButtonsDeferred(ui::kWizBack | ui::kWizNext);
    sheet.EnableCancel(true);
    auto* bar = ItemAs<QProgressBar>(IDC_LOG2_PROGRESS);
    QString text;
    if (code == 0 && saved) {
        LoadText(IDS_LOG_CREATED, text);
        text.prepend(sheet.GetLogFile());
        if (bar != nullptr) {
            bar->setValue(kProgressSteps);
        }
    } else {
        LoadText(IDS_LOG_FAILED, text);
        if (bar != nullptr) {
            bar->setValue(0);
        }
    }
    SetItemText(IDC_LOG2_STATUS, text);
    // Screen readers find the result with the bar as well.
    if (bar != nullptr) {
        bar->setAccessibleDescription(text);
    }
    emit fetchFinished(code == 0 && saved);
}

bool CLog2Page::OnKillActive() {
    return !IsFetching();
}

bool CLog2Page::OnQueryCancel() {
    return !IsFetching();
}

int CLog2Page::OnWizardNext() {
    return IDD_MAIN;
}

int CLog2Page::OnWizardBack() {
    TheSheet()->SetReturnPage(IDD_LOG2);
    return IDD_LOG1;
}
