// kpm-screenshots OUTPUT_DIR [LANGUAGE_ID...]
//
// Renders the wizard sheet with each of its pages, the About box and a
// sample of each message box into OUTPUT_DIR/<language>/ as PNG files, on
// the offscreen platform. Without language ids: English, Japanese, Korean
// and Russian. The main page is drawn with its list empty as well.
#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <memory>

#include "app/about_dlg.h"
#include "app/main_page.h"
#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "app/tovik_tool_app.h"
#include "ui/dialog.h"
#include "ui/message_service.h"
#include "ui/property_page.h"
#include "workflows/log/log2_page.h"
#include "workflows/log/log_file_name.h"
#include "workflows/wizard_pages.h"

namespace {

// Draws each message box into a file instead of waiting on it.
class PictureMessageService : public ui::MessageService {
public:
    QString nextFile;

    int ShowMessageBox(const ui::MessageBoxRequest& request) override {
        std::unique_ptr<QMessageBox> box(ui::QtMessageService::BuildMessageBox(request, nullptr));
        Save(*box, nextFile);
        return ui::kIdOk;
    }
    int RunModal(QDialog& dialog) override {
        Save(dialog, nextFile);
        return ui::kIdOk;
    }

    static bool Save(QWidget& window, const QString& file) {
        window.show();
        QTest::qWait(20);
        const bool clipped = ReportClipped(window, file);
        const bool ok = window.grab().save(file);
        window.hide();
        if (!ok) {
            std::fprintf(stderr, "kpm-screenshots: cannot write %s\n", qPrintable(file));
        }
        return ok && !clipped;
    }

    // A picture can hide a cut-off line as well as show it (a downscaled
    // view drops a short last line), so the sizes are checked as well: a
    // visible text control smaller than its text needs is named.
    static bool ReportClipped(const QWidget& window, const QString& file) {
        bool clipped = false;
        const auto report = [&](const QWidget* control, QSize needs) {
            std::fprintf(stderr, "kpm-screenshots: %s: %s \"%s\" clipped: %dx%d, needs %dx%d\n",
                         qPrintable(file), qPrintable(control->objectName()),
                         qPrintable(control->accessibleName()), control->width(), control->height(),
                         needs.width(), needs.height());
            clipped = true;
        };
        for (const QLabel* label : window.findChildren<QLabel*>()) {
            if (!label->isVisible() || label->text().isEmpty()) {
                continue;
            }
            const QSize needs = label->wordWrap()
                                    ? QSize(label->width(), label->heightForWidth(label->width()))
                                    : label->minimumSizeHint();
            if (label->width() < needs.width() || label->height() < needs.height()) {
                report(label, needs);
            }
        }
        for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
            if (button->isVisible() && !button->text().isEmpty() &&
                button->width() < button->minimumSizeHint().width()) {
                report(button, button->minimumSizeHint());
            }
        }
        return clipped;
    }
};

// The main page of a machine where no KPM printer is set up: its list
// empty (a print system that cannot be reached), with and without a
// desktop printer settings program to offer (`withTool`: a stand-in that is
// never started). Outside demo mode, so it comes before the rest.
bool RenderEmptyMainPage(PictureMessageService& messages, const QString& dir, bool withTool) {
    const QByteArray server = qgetenv("CUPS_SERVER");
    const QByteArray path = qgetenv("PATH");
    QTemporaryDir tools;
    if (withTool) {
        QFile tool(tools.filePath(QStringLiteral("system-config-printer")));
        tool.open(QIODevice::WriteOnly);
        tool.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        qputenv("PATH", tools.path().toLocal8Bit());
    } else {
        qputenv("PATH", "/nonexistent");
    }
    qputenv("CUPS_SERVER", "/nonexistent/kpm-screenshots/cups.sock");
    CTovikSheet sheet(messages, kpm::workflows::WizardPages());
    sheet.show();
    sheet.resize(sheet.sizeHint());
    auto* page = static_cast<CMainPage*>(sheet.GetPage(0));
    const bool searched = QTest::qWaitFor([page] { return !page->IsSearching(); }, 10000);
    QTest::qWait(70);
    qputenv("CUPS_SERVER", server);
    qputenv("PATH", path);
    if (!searched) {
        std::fprintf(stderr, "kpm-screenshots: the main page's search did not end\n");
        return false;
    }
    return PictureMessageService::Save(
        sheet, QStringLiteral("%1/page_00_102_no_printer%2.png")
                   .arg(dir, withTool ? QStringLiteral("_settings") : QString()));
}

int RenderLanguage(const QString& outputDir, std::uint16_t language) {
    const QString dir = QStringLiteral("%1/%2").arg(outputDir).arg(language);
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "kpm-screenshots: cannot create %s\n", qPrintable(dir));
        return 1;
    }
    PictureMessageService messages;
    CTovikToolApp app(messages, language);
    int failures = 0;
    for (const bool withTool : {false, true}) {
        failures += RenderEmptyMainPage(messages, dir, withTool) ? 0 : 1;
    }
    app.SetDemoMode();  // so the main page lists its one printer
    {
        CTovikSheet sheet(messages, kpm::workflows::WizardPages());
        sheet.show();
        sheet.resize(sheet.sizeHint());
        // The name the log page would have been given by its first step.
        sheet.SetLogFile(kpm::workflows::LogFileName(
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
            QString::fromLatin1(CTovikSheet::kDemoSerial),
            QDateTime(QDate(2026, 12, 9), QTime(11, 30), Qt::UTC)));
        // The start times of the circulation schedule as a printer reports
        // them, so that its page shows them.
        sheet.m_nScheduleCount = 6;
        sheet.m_nScheduleTime = {0x0000, 0x0400, 0x0800, 0x0C00, 0x1000, 0x1400};
        sheet.m_bScheduleEnhanced[3] = 1;
        for (int i = 0; i < sheet.GetPageCount(); ++i) {
            sheet.SetActivePage(i);
            QTest::qWait(70);  // past the deferred buttons
            const QString file = QStringLiteral("%1/page_%2_%3.png")
                                     .arg(dir)
                                     .arg(i, 2, 10, QLatin1Char('0'))
                                     .arg(sheet.GetPage(i)->TemplateId());
            failures += PictureMessageService::Save(sheet, file) ? 0 : 1;
            sheet.show();
            // The log page was caught mid-fetch; it is shown at its end too.
            if (auto* log = dynamic_cast<CLog2Page*>(sheet.GetPage(i))) {
                if (!QTest::qWaitFor([log] { return !log->IsFetching(); }, 10000)) {
                    std::fprintf(stderr, "kpm-screenshots: the log page did not finish\n");
                    ++failures;
                }
                QTest::qWait(70);
                QString done = file;
                done.replace(QStringLiteral(".png"), QStringLiteral("_done.png"));
                failures += PictureMessageService::Save(sheet, done) ? 0 : 1;
                sheet.show();
            }
        }
        // The confirmation steps after "No": "Re-adjust" offered.
        for (int page : {134, 142, 237, 283}) {
            sheet.SetActivePage(sheet.GetPageIndexByTemplate(page));
            if (auto* no = sheet.GetActivePage()->ItemAs<QAbstractButton>(1021)) {
                no->click();
            }
            QTest::qWait(70);
            failures += PictureMessageService::Save(
                            sheet, QStringLiteral("%1/page_%2_no.png").arg(dir).arg(page))
                            ? 0
                            : 1;
            sheet.show();
        }
        for (const kpm::workflows::ExampleEntry& entry : kpm::workflows::ExampleDialogs()) {
            std::unique_ptr<ui::Dialog> example(entry.create(&sheet));
            messages.nextFile = QStringLiteral("%1/dialog_%2.png").arg(dir).arg(entry.templateId);
            example->DoModal(messages);
        }
        messages.nextFile = dir + QStringLiteral("/dialog_100_about.png");
        CAboutDlg about(&sheet);
        about.DoModal(messages);

        messages.nextFile = dir + QStringLiteral("/message_error_1005.png");
        sheet.ShowErrorMessage(1005);
        messages.nextFile = dir + QStringLiteral("/message_209.png");
        ShowMessage(209, 0);
        messages.nextFile = dir + QStringLiteral("/message_information_312.png");
        ShowInformation(312, &sheet);
        messages.nextFile = dir + QStringLiteral("/message_stop_178.png");
        ShowStopMessage(178, &sheet);
    }
    std::printf("kpm-screenshots: %s\n", qPrintable(dir));
    return failures;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: kpm-screenshots OUTPUT_DIR [LANGUAGE_ID...]\n");
        return 2;
    }
    QList<std::uint16_t> languages;
    for (int i = 2; i < argc; ++i) {
        languages << static_cast<std::uint16_t>(QString::fromLocal8Bit(argv[i]).toUInt());
    }
    if (languages.isEmpty()) {
        languages = {1033, 1041, 1042, 1049};
    }
    int failures = 0;
    for (std::uint16_t language : languages) {
        failures += RenderLanguage(QString::fromLocal8Bit(argv[1]), language);
    }
    return failures == 0 ? 0 : 1;
}
