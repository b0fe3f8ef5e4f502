// Log retrieval, step 2 (template 202): the printer's log streamed into the
// file named on step 1, with a bar that advances once per piece received,
// then the result.
//
// The fetch takes minutes, so it runs on a worker thread of its own (one
// per activation, through kpm::workflows::Worker). The worker owns the file
// while it runs and counts the pieces; the window reads the count at the
// screen's pace and learns of the end through a queued call, and the page
// touches the file again only after the end. Until then nothing can leave
// the page: no wizard button, Cancel, Escape or the window's close button.
#pragma once

#include <atomic>
#include <cstdint>

#include "workflows/common/step_page.h"
#include "workflows/common/worker.h"
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

    bool IsFetching() const { return worker_.IsRunning(); }

signals:
    // The fetch has ended and its result is shown: the whole log saved,
    // or not.
    void fetchFinished(bool saved);

protected:
    void OnInitDialog() override;

private:
    static bool OnLogChunk(void* context, const unsigned char* data, std::size_t size);

    int RunFetch();
    int RunDemoFetch();
    void ShowProgress(std::uint64_t pieces);
    void FinishFetch(int code);

    kpm::workflows::LogFile file_;
    // Set when the page goes away during a fetch: the worker stops taking
    // pieces (the library still reads the reply to its end).
    std::atomic<bool> abandoned_{false};
    kpm::workflows::Worker worker_;
};
