#include "app/tovik_sheet.h"

#include "app/about_dlg.h"
#include "app/app_ids.h"
#include "app/framework_texts.h"
#include "app/main_page.h"
#include "app/pictures.h"
#include "app/plain_page.h"
#include "app/texts.h"
#include "app/tovik_tool_app.h"
#include "platform/settings_file.h"

using namespace kpm::ids;

namespace {

QString Caption() {
    QString caption;
    LoadText(IDS_TITLE, caption);
    return caption;
}

}  // namespace

CTovikSheet::CTovikSheet(ui::MessageService& messages, PageTable pages, QWidget* parent)
    : ui::PropertySheet(Caption(), messages, parent, 0) {
    AddPage(new CMainPage);
    for (const PageEntry& entry : pages) {
        AddPage(entry.create != nullptr ? entry.create() : new CPlainPage(entry.templateId));
    }
    setWindowIcon(app::ProgramIcon());

    const app::FrameworkTexts texts =
        app::FrameworkTextsFor(CTovikToolApp::Instance().GetLanguageId());
    SetButtonTexts(texts.back, texts.next, texts.finish);
    SetCancelText(texts.cancel);
    SetSystemMenuName(texts.systemMenu);
}

// The pages use the printer state (a log fetch's worker may still be
// reading it while its page stops it), and the state, a base of the sheet,
// is gone before the window would delete them.
CTovikSheet::~CTovikSheet() {
    DeletePages();
}

bool CTovikSheet::InDemoMode() const {
    return CTovikToolApp::Instance().IsDemoMode() != 0;
}

void CTovikSheet::OnInitDialog() {
    QString about;
    if (LoadText(IDS_ABOUT_MENU, about) == 0 && !about.isEmpty()) {
        AppendSystemMenuSeparator();
        AppendSystemMenuItem(about, kAboutCommand);
    }
}

bool CTovikSheet::OnSysCommand(int commandId) {
    if ((commandId & 0xFFF0) == kAboutCommand) {
        CAboutDlg about(this);
        about.DoModal(Messages());
        return true;
    }
    return false;
}

// The page's wish is applied only after 50 ms; until then the buttons show
// the neutral state, so a quick double click cannot press a button that the
// page is about to disable.
void CTovikSheet::SetWizardButtonsDeferred(int flags) {
    PostSetWizardButtons(
        (flags & (ui::kWizFinish | ui::kWizDisabledFinish)) != 0 ? ui::kWizDisabledFinish : 0);
    SetTimer(flags, kButtonDelayMs);
}

void CTovikSheet::OnTimer(int id) {
    KillTimer(id);
    PostSetWizardButtons(id);
}

void CTovikSheet::SetCancelButtonText(int stringId) {
    QString text;
    if (LoadText(stringId, text) == 0) {
        SetCancelText(text);
    }
}

int CTovikSheet::ShowErrorMessage(int code) {
    if (code == 0) {
        return 0;
    }
    return ShowMessage(ErrorMessageTextId(code), code);
}

void CTovikSheet::ClearProgress() {
    m_bFiringDone.fill(0);
    m_bHeadSettingDone.fill(0);
}

void CTovikSheet::MarkFiringDone() {
    if (m_nFiringCombination >= 0 && m_nFiringCombination < 4) {
        m_bFiringDone[static_cast<std::size_t>(m_nFiringCombination)] = 1;
    }
}

void CTovikSheet::MarkHeadSettingDone() {
    if (m_nSelectedHead >= 0 && m_nSelectedHead < 2) {
        m_bHeadSettingDone[static_cast<std::size_t>(m_nSelectedHead)] = 1;
    }
}

bool CTovikSheet::IsFiringComplete() const {
    bool complete = m_bFiringDone[0] != 0;
    if ((GetSetupMode() & 1) != 0) {
        complete = complete && m_bFiringDone[2] != 0;
    }
    if (m_bHasWhiteHeads != 0) {
        complete = complete && m_bFiringDone[1] != 0;
    }
    return complete;
}

int CTovikSheet::GetSetupMode() const {
    std::error_code error;
    const auto setup = platform::SettingsFile::Load(platform::SettingsFile::Path(), error);
    const platform::SettingValue value = setup.Get("SetupMode");
    return value.IsInteger() ? static_cast<int>(value.value) : 0;
}
