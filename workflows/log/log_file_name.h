// The name of a log file: the folder, "ZEDora_xxxx", four characters of the
// printer's serial number, the UTC time of the fetch, ".log".
#pragma once

#include <QDateTime>
#include <QString>

namespace kpm::workflows {

// The folder as a prefix for file names: with a "/" at its end.
QString WithTrailingSlash(const QString& folder);

// Of the serial's first 8 characters the last 4 (a shorter serial whole),
// each character that is not an ASCII letter, digit, "-" or "_" made "_":
// the printer chooses the serial, and it must not choose where the file
// goes.
QString LogFileTail(const QString& serial);

// folder + "ZEDora_xxxx" + tail + "_" + yyMMdd_HHmm in UTC + ".log".
QString LogFileName(const QString& folder, const QString& serial, const QDateTime& time);

}  // namespace kpm::workflows
