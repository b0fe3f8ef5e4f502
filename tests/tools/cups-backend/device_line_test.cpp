// The backend's device lines, and the backend refusing to print.
#include "tools/cups-backend/device_line.h"

#include <gtest/gtest.h>

#include "tests/support/command.h"

namespace {

using kpm::cups_backend::DeviceLine;
using kpm::cups_backend::QuotedField;

struct FieldCase {
    const char* name;
    std::string text;
    std::size_t limit;
    std::string expected;
};

TEST(DeviceLine, FieldsCannotEndTheFieldOrTheLine) {
    const FieldCase cases[] = {
        {"plain", "MFG:Corvane;MDL:KPM pro;", 100, "\"MFG:Corvane;MDL:KPM pro;\""},
        {"empty", "", 100, "\"\""},
        {"quote", "a\"b", 100, "\"a?b\""},
        {"backslash", "a\\\"", 100, "\"a??\""},
        {"line ends", "a\nb\rc", 100, "\"a?b?c\""},
        {"escape sequence", "\x1b]0;title\x07", 100, "\"?]0;title?\""},
        {"NUL and DEL", std::string("a\0b\x7f", 4), 100, "\"a?b?\""},
        {"not ASCII", "K\xc3\xa9", 100, "\"K??\""},
        {"cut at the limit", "abcdef", 3, "\"abc\""},
    };
    for (const FieldCase& c : cases) {
        EXPECT_EQ(QuotedField(c.text, c.limit), c.expected) << c.name;
    }
}

TEST(DeviceLine, OneLinePerPrinterWithTheDriversMakeAndModel) {
    EXPECT_EQ(DeviceLine({"10.1.2.3", "MFG:Corvane;MDL:KPM pro;", "A7350142"}),
              "network socket://10.1.2.3:9100 \"Corvane KPM pro\" \"Corvane KPM pro (A7350142)\" "
              "\"MFG:Corvane;MDL:KPM pro;\" \"\"\n");
    // A printer that gave no serial number.
    EXPECT_EQ(DeviceLine({"10.1.2.3", "", ""}),
              "network socket://10.1.2.3:9100 \"Corvane KPM pro\" \"Corvane KPM pro\" \"\" \"\"\n");
    // The longest device identifier fits cups-deviced's field.
    const std::string line = DeviceLine({"10.1.2.3", std::string(5000, 'x'), "\"\n"});
    EXPECT_NE(line.find("\"Corvane KPM pro (?\?)\" \"" + std::string(1023, 'x') + "\" \"\"\n"),
              std::string::npos);
}

TEST(Backend, PrintsNoJobs) {
    // CUPS runs a backend with job id, user, title, copies, options (and a
    // file): the queues use socket://, so this one fails as backends fail.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{KPM_BACKEND, "1", "user", "title", "1", ""},
          std::vector<std::string>{KPM_BACKEND, "1", "user", "title", "1", "", "/dev/null"}}) {
        const kpm::test::CommandResult r = kpm::test::RunCommand(args);
        EXPECT_EQ(r.exitStatus, 1) << r.output;
        EXPECT_EQ(r.output.rfind("ERROR: ", 0), 0u) << r.output;
        EXPECT_NE(r.output.find("socket://"), std::string::npos) << r.output;
    }
}

}  // namespace
