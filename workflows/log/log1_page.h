// Log retrieval, step 1 (template 201): the folder for the log file. Next
// reads the printer's serial number for the file name and makes sure the
// file can be created there before the fetch starts.
#pragma once

#include "workflows/common/step_page.h"
#include "workflows/log/log_ids.h"

class CLog1Page : public kpm::workflows::StepPage {
    Q_OBJECT
public:
    CLog1Page();

    bool OnSetActive() override;
    int OnWizardNext() override;
    int OnWizardBack() override;

protected:
    void OnInitDialog() override;

private:
    void OnBrowse();
};
