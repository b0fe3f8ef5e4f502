#include "platform/settings_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

using platform::ParseSettingValue;
using platform::SettingsFile;
using platform::SettingValue;

TEST(SettingValueParse, IntegersIn32Bits) {
    EXPECT_EQ(ParseSettingValue("1041").value, 1041u);
    EXPECT_TRUE(ParseSettingValue(" 0 ").IsInteger());
    EXPECT_EQ(ParseSettingValue("4294967295").value, 0xFFFFFFFFu);
    EXPECT_EQ(ParseSettingValue("0x411").value, 0x411u);
    EXPECT_EQ(ParseSettingValue("-1").value, 0xFFFFFFFFu);
    EXPECT_EQ(ParseSettingValue("-2147483648").value, 0x80000000u);
}

TEST(SettingValueParse, AnythingElseIsAnotherType) {
    for (const char* text : {"", "4294967296", "-2147483649", "0x100000000", "10abc", "1.5",
                             "\"10\"", "+5", "--1", "0x", "-0x10", "ten"}) {
        EXPECT_EQ(ParseSettingValue(text).kind, SettingValue::Kind::OtherType) << text;
    }
}

TEST(SettingsFileParse, NamesCommentsSectionsAndLastWins) {
    const auto file = SettingsFile::Parse(
        "# written by the installer\n"
        "[ZEDora Tools]\n"
        "SetupLangID = 10\r\n"
        "; old value below is overridden\n"
        "setupmode=3\n"
        "SetupMode = 1\n"
        "garbage line\n"
        "Other = text value\n");
    EXPECT_EQ(file.Get("SetupLangID").value, 10u);
    EXPECT_EQ(file.Get("SETUPLANGID").value, 10u);
    EXPECT_EQ(file.Get("SetupMode").value, 1u);
    EXPECT_EQ(file.Get("Other").kind, SettingValue::Kind::OtherType);
    EXPECT_EQ(file.Get("Missing").kind, SettingValue::Kind::Missing);
    EXPECT_EQ(file.Get("garbage line").kind, SettingValue::Kind::Missing);
}

TEST(SettingsFileLoad, PathFromEnvironmentAndMissingFile) {
    unsetenv(SettingsFile::kPathVariable);
    EXPECT_EQ(SettingsFile::Path(), "/etc/kpm-maintenance/setup.conf");
    setenv(SettingsFile::kPathVariable, "/tmp/somewhere.conf", 1);
    EXPECT_EQ(SettingsFile::Path(), "/tmp/somewhere.conf");
    setenv(SettingsFile::kPathVariable, "", 1);
    EXPECT_EQ(SettingsFile::Path(), "/etc/kpm-maintenance/setup.conf");
    unsetenv(SettingsFile::kPathVariable);

    std::error_code error;
    const auto missing = SettingsFile::Load("/nonexistent/kpm/setup.conf", error);
    EXPECT_TRUE(error);
    EXPECT_EQ(missing.Get("SetupLangID").kind, SettingValue::Kind::Missing);

    char path[] = "/tmp/kpm-settings-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    std::ofstream(path) << "SetupLangID=1049\n";
    const auto file = SettingsFile::Load(path, error);
    EXPECT_FALSE(error);
    EXPECT_EQ(file.Get("SetupLangID").value, 1049u);
    std::remove(path);
}
