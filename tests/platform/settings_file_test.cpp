#include "platform/settings_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
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

// What starts the file does not hide its first value; only a leading
// byte-order mark is skipped, one elsewhere stays part of the text.
TEST(SettingsFileParse, FirstLineWhateverStartsTheFile) {
    struct Case {
        const char* text;
        SettingValue::Kind kind;
        std::uint32_t value;
    };
    const Case cases[] = {
        {"SetupLangID = 1041\n", SettingValue::Kind::Integer, 1041},
        {"\xEF\xBB\xBFSetupLangID = 1041\n", SettingValue::Kind::Integer, 1041},
        {"\xEF\xBB\xBF\r\nSetupLangID = 1041\r\n", SettingValue::Kind::Integer, 1041},
        {"\xEF\xBB\xBF\xEF\xBB\xBFSetupLangID = 1041\n", SettingValue::Kind::Missing, 0},
        {"SetupLangID = \xEF\xBB\xBF"
         "1041\n",
         SettingValue::Kind::OtherType, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const SettingValue got = SettingsFile::Parse(c.text).Get("SetupLangID");
        EXPECT_EQ(got.kind, c.kind);
        EXPECT_EQ(got.value, c.value);
    }
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

// The example of the README, as a user would copy it: a comment after each
// value.
TEST(SettingsFileParse, TheReadmeExample) {
    std::ifstream readme(KPM_SOURCE_DIR "/README.md");
    std::stringstream text;
    text << readme.rdbuf();
    const std::string all = text.str();
    const auto at = all.find("```ini\n", all.find("setup.conf"));
    ASSERT_NE(at, std::string::npos) << "no ini example in the README";
    const auto from = at + 7;
    const std::string example = all.substr(from, all.find("```", from) - from);
    const auto file = SettingsFile::Parse(example);
    EXPECT_EQ(file.Get("SetupLangID").kind, SettingValue::Kind::Integer) << example;
    EXPECT_EQ(file.Get("SetupLangID").value, 1041u);
    EXPECT_EQ(file.Get("SetupMode").value, 1u);

    const auto more = SettingsFile::Parse("A = 7;old\nB = 8\t; tab\nC=;9\nD = text # note\n");
    EXPECT_EQ(more.Get("A").kind, SettingValue::Kind::OtherType);  // no blank before ';'
    EXPECT_EQ(more.Get("B").value, 8u);
    EXPECT_EQ(more.Get("C").kind, SettingValue::Kind::OtherType);  // empty
    EXPECT_EQ(more.Get("D").kind, SettingValue::Kind::OtherType);
}

// KPM_SETUP_CONF=/dev/zero once grew the wizard to gigabytes: at most
// kMaxSize bytes are read, and a longer file (or device) is not a settings
// file. A FIFO without a writer reads as empty instead of blocking.
TEST(SettingsFileLoad, ReadsAtMostABoundedAmount) {
    std::error_code error;
    const auto zero = SettingsFile::Load("/dev/zero", error);
    EXPECT_EQ(error, std::make_error_code(std::errc::file_too_large));
    EXPECT_EQ(zero.Get("SetupLangID").kind, SettingValue::Kind::Missing);

    char dir[] = "/tmp/kpm-settings-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string big = std::string(dir) + "/big.conf";
    std::ofstream(big) << "SetupLangID = 1049\n" << std::string(SettingsFile::kMaxSize, '#');
    SettingsFile::Load(big, error);
    EXPECT_EQ(error, std::make_error_code(std::errc::file_too_large));
    const std::string fits = std::string(dir) + "/fits.conf";
    std::ofstream(fits) << std::string(SettingsFile::kMaxSize - 20, '\n') << "SetupLangID = 1049\n";
    EXPECT_EQ(SettingsFile::Load(fits, error).Get("SetupLangID").value, 1049u);
    EXPECT_FALSE(error) << error.message();

    const std::string fifo = std::string(dir) + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(SettingsFile::Load(fifo, error).Get("SetupLangID").kind, SettingValue::Kind::Missing);
    std::remove(big.c_str());
    std::remove(fits.c_str());
    std::remove(fifo.c_str());
    rmdir(dir);
}
