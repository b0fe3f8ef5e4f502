// The recorded message boxes of a procedure test as the texts the user
// read, and the texts they should have been.
#pragma once

#include <QString>
#include <QStringList>

#include <ostream>

#include "app/texts.h"
#include "tests/support/recording_message_service.h"

// Readable strings in the failures of GoogleTest (found by argument lookup).
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace testing_support {

// Text `id` of the current language, with " (code)" when `code` is not 0,
// as the error box shows it.
inline QString MessageText(int id, int code = 0) {
    QString text;
    LoadText(id, text);
    return code == 0 ? text : QStringLiteral("%1 (%2)").arg(text).arg(code);
}

inline QStringList ShownTexts(const RecordingMessageService& messages) {
    QStringList texts;
    for (const auto& box : messages.boxes) {
        texts << box.text;
    }
    return texts;
}

}  // namespace testing_support
