// Log retrieval, step 2 (template 202): the printer's log streamed into the
// file named on step 1, with a bar that advances once per piece received,
// then the result.
//
// The fetch takes minutes, so it runs on a worker thread of its own (one
// per activation). The worker owns the file while it runs; it tells the page
// of every piece and of the end through queued calls, and the page touches
// the file again only after the end. Until then nothing can leave the page:
// no wizard button, Cancel, Escape or the window's close button.
#pragma once

#include <atomic>
#include <thread>

#include "workflows/common/step_page.h"
#include "workflows/log/log_file.h"
#include "workflows/log/log_ids.h"

class CLog2Page : public kpm::workflows::StepPage {
    Q_OBJECT
public:
    static constexpr int kProgressSteps = 10501;

    CLog2Page();
    ~CLog2Page() override;

    bool OnSetActive() override;
    bool OnKillActive() override;
    bool OnQueryCancel() override;
    int OnWizardNext() override;
    int OnWizardBack() override;

    bool IsFetching() const { return worker_.joinable(); }

signals:
    // The fetch has ended and its result is shown: the whole log saved,
    // or not.
    void fetchFinished(bool saved);

protected:
    void OnInitDialog() override;

private:
    static bool OnLogChunk(void* context, const unsigned char* data, std::size_t size);

    void RunFetch();
    void RunDemoFetch();
    void ReportChunk();
    void OnFetchProgress();
    void FinishFetch(int code);

    kpm::workflows::LogFile file_;
    std::thread worker_;
    // Set when the page goes away during a fetch: the worker stops taking
    // pieces (the library still reads the reply to its end).
    std::atomic<bool> abandoned_{false};
    // Progress calls queued and not yet run.
    std::atomic<int> queued_{0};
};
