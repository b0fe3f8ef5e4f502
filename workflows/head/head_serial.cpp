#include "workflows/head/head_serial.h"

namespace kpm::workflows {

namespace {

constexpr qsizetype kMaxMappedLength = 256;
constexpr qsizetype kSerialLength = 7;

bool IsAsciiLetter(QChar c) {
    return c >= QLatin1Char('A') && c <= QLatin1Char('Z');
}

bool IsAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

}  // namespace

QString NormalizeHeadSerial(const QString& text) {
    if (text.size() > kMaxMappedLength) {
        return text;
    }
    return text.normalized(QString::NormalizationForm_KC).toUpper().trimmed();
}

std::optional<QString> ValidHeadSerial(const QString& text, int head) {
    const QString serial = NormalizeHeadSerial(text);
    if (serial.size() != kSerialLength) {
        return std::nullopt;
    }
    const QLatin1String prefix(head == kWhiteHead ? "XA" : "GX");
    if (!serial.startsWith(prefix) || !IsAsciiLetter(serial[2])) {
        return std::nullopt;
    }
    for (qsizetype i = 3; i < kSerialLength; ++i) {
        if (!IsAsciiDigit(serial[i])) {
            return std::nullopt;
        }
    }
    return serial;
}

}  // namespace kpm::workflows
