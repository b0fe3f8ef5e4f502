#include "app/language.h"

#include <gtest/gtest.h>

#include "app/tovik_tool_app.h"
#include "platform/settings_file.h"

using app::SelectLanguage;
using platform::SettingsFile;

namespace {

std::uint16_t Select(const char* path, const char* setup = "") {
    return SelectLanguage(CTovikToolApp::ProgramNamePart(QString::fromUtf8(path)),
                          SettingsFile::Parse(setup));
}

}  // namespace

TEST(SelectLanguage, CodeInTheNameWinsOverTheInstallersChoice) {
    EXPECT_EQ(Select("/usr/bin/kpm-wizard-fre", "SetupLangID=7"), 1036);
    EXPECT_EQ(Select("/usr/bin/kpm-wizard", "SetupLangID=7"), 1031);
    // The order of the code list decides, not the position in the name.
    EXPECT_EQ(Select("/usr/bin/ger-eng"), 1033);
    EXPECT_EQ(Select("/usr/bin/tur-chi"), 2052);
    EXPECT_EQ(Select("/usr/bin/kpmbra"), 1046);
    EXPECT_EQ(Select("/usr/bin/xjpnx"), 1041);
    EXPECT_EQ(Select("/usr/bin/kor"), 1042);
    EXPECT_EQ(Select("/usr/bin/rus"), 1049);
    EXPECT_EQ(Select("/usr/bin/ita"), 1040);
    EXPECT_EQ(Select("/usr/bin/spa"), 3082);
    // Case-sensitive; a code in a folder name does not count.
    EXPECT_EQ(Select("/usr/bin/kpm-JPN"), 1033);
    EXPECT_EQ(Select("/opt/jpn/kpm-wizard"), 1033);
}

TEST(SelectLanguage, InstallersChoice) {
    EXPECT_EQ(Select("/usr/bin/kpm-wizard", "SetupLangID=10"), 3082);
    EXPECT_EQ(Select("/usr/bin/kpm-wizard", "SetupLangID=9"), 1033);
    EXPECT_EQ(Select("/usr/bin/kpm-wizard", "SetupLangID=1053"), 1033);
    // A value of another type, or none, is English.
    EXPECT_EQ(Select("/usr/bin/kpm-wizard", "SetupLangID=seventeen"), 1033);
    EXPECT_EQ(Select("/usr/bin/kpm-wizard", "SetupLangID=17.0"), 1033);
    EXPECT_EQ(Select("/usr/bin/kpm-wizard", ""), 1033);
    EXPECT_EQ(Select("/usr/bin/kpm-wizard", "SetupLangID=0x411"), 1041);

    std::error_code error;
    EXPECT_EQ(SelectLanguage(QStringLiteral("/kpm-wizard"),
                             SettingsFile::Load("/nonexistent/setup.conf", error)),
              1033);
}

TEST(SelectLanguage, SetupValueMapping) {
    const std::pair<std::uint32_t, std::uint16_t> table[] = {
        {4, 2052},    {2052, 2052}, {7, 1031},    {1031, 1031}, {10, 3082},
        {1034, 3082}, {12, 1036},   {1036, 1036}, {16, 1040},   {1040, 1040},
        {17, 1041},   {1041, 1041}, {18, 1042},   {1042, 1042}, {22, 1046},
        {1046, 1046}, {25, 1049},   {1049, 1049}, {31, 1055},   {1055, 1055},
        {0, 1033},    {1033, 1033}, {3082, 1033}, {9, 1033},    {0xFFFFFFFF, 1033},
    };
    for (const auto& [value, language] : table) {
        EXPECT_EQ(app::LanguageFromSetupValue(value), language) << value;
    }
}

TEST(ProgramNamePart, FromTheLastSlash) {
    EXPECT_EQ(CTovikToolApp::ProgramNamePart(QStringLiteral("/opt/demo/kpm-wizard")),
              QStringLiteral("/kpm-wizard"));
    EXPECT_EQ(CTovikToolApp::ProgramNamePart(QStringLiteral("kpm-wizard-demo")),
              QStringLiteral("kpm-wizard-demo"));
    EXPECT_EQ(CTovikToolApp::ProgramNamePart(QStringLiteral("/kpm")), QStringLiteral("/kpm"));
    EXPECT_EQ(CTovikToolApp::ProgramNamePart(QStringLiteral("./jpn")), QStringLiteral("/jpn"));
}
