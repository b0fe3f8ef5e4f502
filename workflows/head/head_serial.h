// The serial number of a print head as the user types it from the head's
// label: mapped to half-width upper case and trimmed, then checked against
// the pattern of that head's serials.
#pragma once

#include <QString>

#include <optional>

namespace kpm::workflows {

inline constexpr int kColorHead = 0;
inline constexpr int kWhiteHead = 1;

// The text as the printer takes it: full-width and other compatibility
// forms mapped to their plain characters, upper case, trimmed. Texts longer
// than a head label can hold are left as they are.
QString NormalizeHeadSerial(const QString& text);

// The normalised serial when it is one of `head`'s: 7 characters, the
// first two "GX" (colour head) or "XA" (white head), a letter, four digits.
std::optional<QString> ValidHeadSerial(const QString& text, int head);

}  // namespace kpm::workflows
