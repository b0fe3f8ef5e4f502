// The desktop's own printer settings, where printers are added: the main
// page offers them when no KPM printer is set up.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

struct PrinterSettingsTool {
    QString program;  // full path
    QStringList arguments;

    bool operator==(const PrinterSettingsTool&) const = default;
};

// The first of the known printer settings programs found in the absolute
// folders of `path` (PATH's form; relative entries such as "." are never
// searched): system-config-printer, GNOME's Settings on its printers
// panel, KDE's printer module (kcmshell6, kcmshell5, systemsettings). The
// desktop's own comes first when `desktop` (XDG_CURRENT_DESKTOP) names
// GNOME or KDE.
std::optional<PrinterSettingsTool> FindPrinterSettingsTool(const QString& path,
                                                           const QString& desktop);

// The same for this session's PATH and desktop.
std::optional<PrinterSettingsTool> FindPrinterSettingsTool();

// Starts the tool on its own (it outlives the wizard); false if it could
// not be started.
bool OpenPrinterSettings(const PrinterSettingsTool& tool);
