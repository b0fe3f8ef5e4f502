// The main page (template 102): printer selection and the task menu. Every
// procedure starts and ends here.
#pragma once

#include "ui/property_page.h"

class CTovikSheet;

class CMainPage : public ui::PropertyPage {
    Q_OBJECT
public:
    // Task radios and their descriptions, top to bottom.
    struct Task {
        int radio;
        int description;
    };
    static constexpr Task kTasks[] = {
        {1141, 1142},  // initial settings after head replacement
        {1024, 1046},  // firing adjustment
        {1153, 1154},  // platen-rolling adjustment
        {1025, 1047},  // white/colour alignment
        {1005, 1048},  // IP address
        {1006, 1049},  // log retrieval
        {1007, 1050},  // nozzle-check clock
        {1008, 1051},  // white ink circulation schedule
    };

    CMainPage() : ui::PropertyPage(102) {}

    bool OnSetActive() override;
    int OnWizardNext() override;

    // The printer list (control 1001): rebuilt on every activation.
    void RebuildPrinterList();

protected:
    void OnInitDialog() override;

private:
    CTovikSheet* TheSheet() const;
    void ApplyModelRule();
    void OnSelectionChange();
    void OnSearch();
};
