#include "workflows/log/log2_page.h"

#include <QProgressBar>

#include <algorithm>
#include <chrono>
#include <thread>

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "app/tovik_tool_app.h"

using namespace kpm::ids;

namespace {

// Demo mode pauses after every so many steps, so the bar visibly runs.
constexpr int kDemoStepsPerPause = 16;

}  // namespace

CLog2Page::~CLog2Page() {
    abandoned_ = true;
    worker_.Wait();
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
    // Step 1 tried the folder moments ago; if it takes no file now, or the
    // name has been taken meanwhile, the user has to choose again.
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
    worker_.Start([this, demo] { return demo ? RunDemoFetch() : RunFetch(); },
                  [this](int code) { FinishFetch(code); },
                  [this](std::uint64_t pieces) { ShowProgress(pieces); });
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
    page->worker_.Advance();
    return true;
}

// On the worker thread.
int CLog2Page::RunFetch() {
    return TheSheet()->FetchLog(&CLog2Page::OnLogChunk, this);
}

// On the worker thread.
int CLog2Page::RunDemoFetch() {
    for (int step = 0; step < kProgressSteps && !abandoned_; ++step) {
        worker_.Advance();
        if (step % kDemoStepsPerPause == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    return 0;
}

// One step of the bar per piece, up to its end.
void CLog2Page::ShowProgress(std::uint64_t pieces) {
    if (auto* bar = ItemAs<QProgressBar>(IDC_LOG2_PROGRESS)) {
        bar->setValue(static_cast<int>(std::min<std::uint64_t>(pieces, kProgressSteps)));
    }
}

void CLog2Page::FinishFetch(int code) {
    // Only a file that was closed whole, under its name, holds the log.
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
