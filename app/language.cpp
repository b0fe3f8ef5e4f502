#include "app/language.h"

#include <array>
#include <utility>

#include "platform/settings_file.h"

namespace app {

std::uint16_t LanguageFromSetupValue(std::uint32_t value) {
    switch (value) {
        case 4:
        case 2052:
            return kChineseSimplified;
        case 7:
        case 1031:
            return kGerman;
        case 10:
        case 1034:
            return kSpanish;
        case 12:
        case 1036:
            return kFrench;
        case 16:
        case 1040:
            return kItalian;
        case 17:
        case 1041:
            return kJapanese;
        case 18:
        case 1042:
            return kKorean;
        case 22:
        case 1046:
            return kPortugueseBrazil;
        case 25:
        case 1049:
            return kRussian;
        case 31:
        case 1055:
            return kTurkish;
        default:
            return kEnglish;
    }
}

std::uint16_t SelectLanguage(const QString& programNamePart, const platform::SettingsFile& setup) {
    static constexpr std::array<std::pair<const char*, std::uint16_t>, 11> kCodes{{
        {"eng", kEnglish},
        {"chi", kChineseSimplified},
        {"fre", kFrench},
        {"ger", kGerman},
        {"spa", kSpanish},
        {"ita", kItalian},
        {"jpn", kJapanese},
        {"kor", kKorean},
        {"rus", kRussian},
        {"tur", kTurkish},
        {"bra", kPortugueseBrazil},
    }};
    for (const auto& [code, language] : kCodes) {
        if (programNamePart.contains(QLatin1String(code), Qt::CaseSensitive)) {
            return language;
        }
    }
    const platform::SettingValue value = setup.Get("SetupLangID");
    if (!value.IsInteger()) {
        return kEnglish;
    }
    return LanguageFromSetupValue(value.value);
}

}  // namespace app
