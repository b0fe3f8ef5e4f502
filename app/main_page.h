// The main page (template 102): printer selection and the task menu. Every
// procedure starts and ends here.
//
// The printer list is rebuilt on every activation and on "Search". Finding
// the printers asks the print system and waits up to a second for network
// printers to answer, so outside demo mode it runs on a worker thread: the
// list and "Search" are disabled meanwhile (with a busy indicator when it
// takes a while), Next stays disabled until the list is complete, and
// everything else of the page stays usable. An empty list gets a line
// saying how KPM printers are added, with a button to the desktop's
// printer settings where they are installed.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

#include "app/app_ids.h"
#include "app/printer_settings.h"
#include "ui/property_page.h"

class CTovikSheet;
class QProgressBar;
class QThread;
class QTimer;

class CMainPage : public ui::PropertyPage {
    Q_OBJECT
public:
    // Task radios and their descriptions, top to bottom.
    struct Task {
        int radio;
        int description;
    };
    static constexpr Task kTasks[] = {
        {kpm::ids::IDC_MAIN_HEAD_REPLACEMENT, kpm::ids::IDC_MAIN_HEAD_REPLACEMENT_TEXT},
        {kpm::ids::IDC_MAIN_FIRING, kpm::ids::IDC_MAIN_FIRING_TEXT},
        {kpm::ids::IDC_MAIN_PLATEN_ROLLING, kpm::ids::IDC_MAIN_PLATEN_ROLLING_TEXT},
        {kpm::ids::IDC_MAIN_ALIGNMENT, kpm::ids::IDC_MAIN_ALIGNMENT_TEXT},
        {kpm::ids::IDC_MAIN_IP_ADDRESS, kpm::ids::IDC_MAIN_IP_ADDRESS_TEXT},
        {kpm::ids::IDC_MAIN_LOG, kpm::ids::IDC_MAIN_LOG_TEXT},
        {kpm::ids::IDC_MAIN_CLOCK, kpm::ids::IDC_MAIN_CLOCK_TEXT},
        {kpm::ids::IDC_MAIN_CIRCULATION, kpm::ids::IDC_MAIN_CIRCULATION_TEXT},
    };
    // A search that lasts longer than this shows the busy indicator.
    static constexpr int kBusyIndicatorDelayMs = 250;

    CMainPage();
    ~CMainPage() override;

    bool OnSetActive() override;
    int OnWizardNext() override;

    // Rebuilds the printer list (IDC_MAIN_PRINTER_LIST), keeping the selection by
    // name: at once in demo mode, otherwise once the search has finished.
    void RebuildPrinterList();
    // True while the print system is being searched.
    bool IsSearching() const { return search_ != nullptr; }
    // The busy indicator beside the list (shown only during long searches).
    QProgressBar* BusyIndicator() const { return busy_; }

signals:
    // The printer list has been filled anew.
    void printerListRebuilt();

protected:
    void OnInitDialog() override;

private:
    struct Entry {
        QString name;
        std::uint32_t address;
    };
    // What follows a rebuild: the rest of the activation (deferred
    // buttons), of "Search" (buttons at once), or nothing.
    enum class Then { Nothing, Activation, Search };

    CTovikSheet* TheSheet() const;
    void ApplyModelRule();
    void OnSelectionChange();
    void OnSearch();
    void StartRebuild(Then then);
    void FinishRebuild(const std::vector<Entry>& printers);
    void FillList(const std::vector<Entry>& printers);
    void SetBusy(bool busy);
    bool HasEntries() const;
    void ShowSetupHint(bool show);

    QThread* search_ = nullptr;
    Then then_ = Then::Nothing;
    QProgressBar* busy_ = nullptr;
    QTimer* busyDelay_ = nullptr;
    bool listHadFocus_ = false;
    // The desktop's printer settings, offered while the list is empty.
    std::optional<PrinterSettingsTool> printerSettings_;
};
