#include "app/printer_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

namespace {

struct Candidate {
    const char* program;
    QStringList arguments;
    const char* desktop;  // the desktop it belongs to, or nullptr
};

const Candidate kCandidates[] = {
    {"system-config-printer", {}, nullptr},
    {"gnome-control-center", {QStringLiteral("printers")}, "GNOME"},
    {"kcmshell6", {QStringLiteral("kcm_printer_manager")}, "KDE"},
    {"kcmshell5", {QStringLiteral("kcm_printer_manager")}, "KDE"},
    {"systemsettings", {QStringLiteral("kcm_printer_manager")}, "KDE"},
};

QString FindInPath(const QString& path, const QString& name) {
    for (const QString& folder : path.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isRelativePath(folder)) {
            continue;
        }
        const QFileInfo file(QDir(folder).filePath(name));
        if (file.isFile() && file.isExecutable()) {
            return file.absoluteFilePath();
        }
    }
    return {};
}

}  // namespace

std::optional<PrinterSettingsTool> FindPrinterSettingsTool(const QString& path,
                                                           const QString& desktop) {
    const QStringList desktops = desktop.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    // Two rounds: the programs of the running desktop, then all of them.
    for (const bool ownDesktopOnly : {true, false}) {
        for (const Candidate& c : kCandidates) {
            if (ownDesktopOnly &&
                (c.desktop == nullptr || !desktops.contains(QLatin1String(c.desktop)))) {
                continue;
            }
            const QString program = FindInPath(path, QString::fromLatin1(c.program));
            if (!program.isEmpty()) {
                return PrinterSettingsTool{program, c.arguments};
            }
        }
    }
    return std::nullopt;
}

std::optional<PrinterSettingsTool> FindPrinterSettingsTool() {
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    return FindPrinterSettingsTool(env.value(QStringLiteral("PATH")),
                                   env.value(QStringLiteral("XDG_CURRENT_DESKTOP")));
}

bool OpenPrinterSettings(const PrinterSettingsTool& tool) {
    return QProcess::startDetached(tool.program, tool.arguments);
}
