// The wizard sheet: owns every page and the printer state shared by them for
// the whole run, and offers the services all pages use (deferred wizard
// buttons, the Cancel text, error messages, fonts, progress flags) and the
// printer operations (PrinterFacade). Pages of some procedures use members
// of the state directly (the V-ratings, the head flags, the log folder).
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

#include "access/printer_facade.h"
#include "app/font_size.h"
#include "app/page_factory.h"
#include "ui/property_sheet.h"

namespace ui {
class MessageService;
class PropertyPage;
}  // namespace ui

class CTovikSheet : public ui::PropertySheet, public kpm::access::PrinterFacade {
    Q_OBJECT
public:
    static constexpr int kAboutCommand = 16;
    static constexpr int kButtonDelayMs = 50;

    // The main page, then a page for each entry of `pages`.
    explicit CTovikSheet(ui::MessageService& messages, PageTable pages = {},
                         QWidget* parent = nullptr);
    ~CTovikSheet() override;

    // Wizard buttons and window services.
    void SetWizardButtonsDeferred(int flags);
    void SetCancelButtonText(int stringId);
    int ShowErrorMessage(int code);
    void SetBoldFont(QWidget* control) { m_fontSize.SetBoldFont(control); }
    void SetLargeBoldFont(QWidget* control) { m_fontSize.SetLargeBoldFont(control); }
    void SetSmallFont(QWidget* control) { m_fontSize.SetSmallFont(control); }
    const CFontSize& Fonts() const { return m_fontSize; }

    // Progress and settings.
    void ClearProgress();
    void MarkFiringDone();
    void MarkHeadSettingDone();
    bool IsFiringComplete() const;
    int GetSetupMode() const;

    int GetFiringCombination() const { return m_nFiringCombination; }
    void SetFiringCombination(int combination) { m_nFiringCombination = combination; }
    int GetHasWhiteHeads() const { return m_bHasWhiteHeads; }
    void SetHasWhiteHeads(int hasWhiteHeads) { m_bHasWhiteHeads = hasWhiteHeads; }
    int GetSelectedHead() const { return m_nSelectedHead; }
    void SetSelectedHead(int head) { m_nSelectedHead = head; }
    QString GetPrinterName() const { return m_strPrinterName; }
    void SetPrinterName(const QString& name) { m_strPrinterName = name; }
    int GetPrinterAddress() const { return m_nPrinterAddress; }
    void SetPrinterAddress(int address) { m_nPrinterAddress = address; }
    int GetReturnPage() const { return m_nReturnPage; }
    void SetReturnPage(int templateId) { m_nReturnPage = templateId; }
    QString GetLogFile() const { return m_strLogFile; }
    void SetLogFile(const QString& path) { m_strLogFile = path; }
    std::uint8_t GetHeadChoice() const { return m_byHeadChoice; }
    void SetHeadChoice(std::uint8_t choice) { m_byHeadChoice = choice; }

    // Fonts derived from the page's own font, made on first use.
    CFontSize m_fontSize;

protected:
    bool InDemoMode() const override;
    void OnInitDialog() override;
    void OnTimer(int id) override;
    bool OnSysCommand(int commandId) override;
};
