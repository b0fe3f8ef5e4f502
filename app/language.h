// Choosing the language of every text, once at start-up.
#pragma once

#include <QString>

#include <cstdint>

namespace platform {
class SettingsFile;
}

namespace app {

enum LanguageId : std::uint16_t {
    kEnglish = 1033,
    kChineseSimplified = 2052,
    kFrench = 1036,
    kGerman = 1031,
    kSpanish = 3082,
    kItalian = 1040,
    kJapanese = 1041,
    kKorean = 1042,
    kPortugueseBrazil = 1046,
    kRussian = 1049,
    kTurkish = 1055,
};

// The language of a program name part: the first of the codes "eng", "chi",
// "fre", "ger", "spa", "ita", "jpn", "kor", "rus", "tur", "bra" (in this
// order) found anywhere in it; else the installer's "SetupLangID"; else
// English.
std::uint16_t SelectLanguage(const QString& programNamePart, const platform::SettingsFile& setup);

// The installer's "SetupLangID" value mapped to a language id (anything
// unknown is English).
std::uint16_t LanguageFromSetupValue(std::uint32_t value);

}  // namespace app
