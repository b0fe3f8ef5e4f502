// Log retrieval, step 1 (template 201): the folder for the log file. Next
// reads the printer's serial number for the file name and makes sure the
// file can be created there before the fetch starts.
#pragma once

#include "ui/property_page.h"

class CTovikSheet;

class CLog1Page : public ui::PropertyPage {
    Q_OBJECT
public:
    static constexpr int kTemplate = 201;

    CLog1Page() : ui::PropertyPage(kTemplate) {}

    bool OnSetActive() override;
    int OnWizardNext() override;
    int OnWizardBack() override;

protected:
    void OnInitDialog() override;

private:
    CTovikSheet* TheSheet() const;
    void OnBrowse();
};
