#include "workflows/log/log1_page.h"

#include <QDateTime>
#include <QFileDialog>
#include <QStandardPaths>

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "app/tovik_tool_app.h"
#include "ui/message_service.h"
#include "workflows/common/printer_operation.h"
#include "workflows/log/log_file.h"
#include "workflows/log/log_file_name.h"

using namespace kpm::ids;

CLog1Page::CLog1Page()
    : StepPage({IDD_LOG1,
                {{IDC_LOG1_CAPTION, IDS_STEP1},
                 {IDC_LOG1_HEADING, IDS_LOG1_HEADING},
                 {IDC_LOG1_INSTRUCTIONS, IDS_LOG_INSTRUCTIONS},
                 {IDC_LOG1_BROWSE, IDS_LOG_BROWSE}},
                {IDC_LOG1_CAPTION},
                ui::kWizBack | ui::kWizNext}) {}

void CLog1Page::OnInitDialog() {
    StepPage::OnInitDialog();
    // The field has no label of its own: screen readers name it by the
    // heading and read the instructions with it.
    if (QWidget* folder = Item(IDC_LOG1_FOLDER)) {
        QString heading;
        LoadText(IDS_LOG1_HEADING, heading);
        folder->setAccessibleName(heading.trimmed());
        folder->setAccessibleDescription(ItemText(IDC_LOG1_INSTRUCTIONS));
    }
    OnClicked(IDC_LOG1_BROWSE, [this] { OnBrowse(); });
}

bool CLog1Page::OnSetActive() {
    StepPage::OnSetActive();
    CTovikSheet& sheet = *TheSheet();
    SetItemText(IDC_LOG1_FOLDER,
                !sheet.m_strLogFolder.isEmpty()
                    ? sheet.m_strLogFolder
                    : QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    return true;
}

void CLog1Page::OnBrowse() {
    QString title;
    LoadText(IDS_LOG_BROWSER_TITLE, title);
    QFileDialog browser(this, title, ItemText(IDC_LOG1_FOLDER));
    browser.setObjectName(QStringLiteral("folder_browser"));
    browser.setFileMode(QFileDialog::Directory);
    browser.setOption(QFileDialog::ShowDirsOnly, true);
    browser.setAcceptMode(QFileDialog::AcceptOpen);
    if (Sheet()->Messages().RunModal(browser) != ui::kIdOk) {
        return;
    }
    const QStringList chosen = browser.selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) {
        return;
    }
    const QString folder = kpm::workflows::WithTrailingSlash(chosen.front());
    TheSheet()->m_strLogFolder = folder;
    SetItemText(IDC_LOG1_FOLDER, folder);
}

int CLog1Page::OnWizardNext() {
    CTovikSheet& sheet = *TheSheet();
    QString code;
    QString serial;
    QString mac;
    const int result = kpm::workflows::RunPrinterOperation(
        sheet, [&] { return sheet.ReadPrinterIdentity(code, serial, mac); });
    if (result != 0) {
        sheet.ShowErrorMessage(result);
        return -1;
    }

    const QString folder = ItemText(IDC_LOG1_FOLDER);
    const QString path =
        kpm::workflows::LogFileName(folder, serial, QDateTime::currentDateTimeUtc());
    // An empty field names no folder; it would otherwise mean the root.
    const bool demo = CTovikToolApp::Instance().IsDemoMode() != 0;
    const bool writable =
        demo || (!folder.trimmed().isEmpty() && kpm::workflows::LogFile::CanCreate(path));
    sheet.SetLogFile(path);
    if (!writable) {
        ShowInformation(IDS_LOG_CANNOT_MAKE_FILE, this);
        return -1;
    }
    return IDD_LOG2;
}

int CLog1Page::OnWizardBack() {
    TheSheet()->SetReturnPage(IDD_LOG1);
    return IDD_MAIN;
}
