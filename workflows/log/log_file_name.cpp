#include "workflows/log/log_file_name.h"

namespace kpm::workflows {

namespace {

constexpr qsizetype kSerialPrefix = 8;
constexpr qsizetype kTailLength = 4;

bool IsSafeFileNameCharacter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') ||
           u == u'-' || u == u'_';
}

}  // namespace

QString WithTrailingSlash(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString LogFileTail(const QString& serial) {
    QString tail = serial.left(kSerialPrefix);
    if (tail.size() > kTailLength) {
        tail = tail.right(kTailLength);
    }
    for (QChar& c : tail) {
        if (!IsSafeFileNameCharacter(c)) {
            c = QLatin1Char('_');
        }
    }
    return tail;
}

QString LogFileName(const QString& folder, const QString& serial, const QDateTime& time) {
    const QString stamp = time.toUTC().toString(QStringLiteral("yyMMdd_HHmm"));
    return QStringLiteral("%1ZEDora_xxxx%2_%3.log")
        .arg(WithTrailingSlash(folder), LogFileTail(serial), stamp);
}

}  // namespace kpm::workflows
