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

namespace {

constexpr int kCaption = 1131;
constexpr int kInstructions = 1081;
constexpr int kFolder = 1133;
constexpr int kBrowse = 1134;
constexpr int kHeading = 186;
constexpr int kBrowserTitle = 207;
constexpr int kCannotMakeLogFile = 133;
constexpr int kFetchPage = 202;

}  // namespace

CLog1Page::CLog1Page()
    : StepPage({kTemplate,
                {{kCaption, 192}, {1080, kHeading}, {kInstructions, 187}, {kBrowse, 190}},
                {kCaption},
                ui::kWizBack | ui::kWizNext}) {}

void CLog1Page::OnInitDialog() {
    StepPage::OnInitDialog();
    // The field has no label of its own: screen readers name it by the
    // heading and read the instructions with it.
    if (QWidget* folder = Item(kFolder)) {
        QString heading;
        LoadText(kHeading, heading);
        folder->setAccessibleName(heading.trimmed());
        folder->setAccessibleDescription(ItemText(kInstructions));
    }
    OnClicked(kBrowse, [this] { OnBrowse(); });
}

bool CLog1Page::OnSetActive() {
    StepPage::OnSetActive();
    CTovikSheet& sheet = *TheSheet();
    SetItemText(kFolder, !sheet.m_strLogFolder.isEmpty()
                             ? sheet.m_strLogFolder
                             : QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    return true;
}

void CLog1Page::OnBrowse() {
    QString title;
    LoadText(kBrowserTitle, title);
    QFileDialog browser(this, title, ItemText(kFolder));
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
    SetItemText(kFolder, folder);
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

    const QString folder = ItemText(kFolder);
    const QString path =
        kpm::workflows::LogFileName(folder, serial, QDateTime::currentDateTimeUtc());
    // An empty field names no folder; it would otherwise mean the root.
    const bool demo = CTovikToolApp::Instance().IsDemoMode() != 0;
    const bool writable =
        demo || (!folder.trimmed().isEmpty() && kpm::workflows::LogFile::CanCreate(path));
    sheet.SetLogFile(path);
    if (!writable) {
        ShowInformation(kCannotMakeLogFile, this);
        return -1;
    }
    return kFetchPage;
}

int CLog1Page::OnWizardBack() {
    TheSheet()->SetReturnPage(kTemplate);
    return CTovikSheet::kMainPageTemplate;
}
