// The main page's line for a machine where no KPM printer is set up, and
// the desktop printer settings it opens.
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "app/main_page.h"
#include "app/printer_settings.h"
#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "tests/app/app_fixture.h"
#include "tests/support/cups_queues.h"

using testing_support::AppTest;

namespace {

constexpr int kHint = 1300;
constexpr int kSettingsButton = 1301;

// A folder with stand-ins for printer settings programs, each recording
// its arguments in NAME.ran.
class FakeTools {
public:
    explicit FakeTools(const std::string& dir) : dir_(dir + "/bin") {
        std::filesystem::create_directories(dir_);
    }
    void Add(const std::string& name, bool executable = true) {
        const std::string path = dir_ + "/" + name;
        std::ofstream(path) << "#!/bin/sh\necho \"$@\" >\"$0.ran\"\n";
        std::filesystem::permissions(
            path, executable ? std::filesystem::perms(0755) : std::filesystem::perms(0644));
    }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    const std::string& dir() const { return dir_; }

private:
    std::string dir_;
};

TEST(PrinterSettingsTool, TheDesktopsOwnFirstThenAnyKnownOne) {
    char pattern[] = "/tmp/kpm-tools-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    FakeTools tools(pattern);
    tools.Add("system-config-printer");
    tools.Add("gnome-control-center");
    tools.Add("kcmshell6");
    const QString bin = QString::fromStdString(tools.dir());
    const auto tool = [&](const std::string& program, QStringList args) {
        return PrinterSettingsTool{QString::fromStdString(tools.Path(program)), std::move(args)};
    };
    struct Case {
        const char* name;
        QString path;
        QString desktop;
        std::optional<PrinterSettingsTool> expected;
    };
    const Case cases[] = {
        {"no desktop", bin, "", tool("system-config-printer", {})},
        {"GNOME", "/nonexistent:" + bin, "ubuntu:GNOME",
         tool("gnome-control-center", {"printers"})},
        {"KDE", bin, "KDE", tool("kcmshell6", {"kcm_printer_manager"})},
        {"another desktop", bin, "XFCE", tool("system-config-printer", {})},
        {"nothing on PATH", "/nonexistent", "GNOME", std::nullopt},
        // A relative folder is never searched: it is wherever the wizard
        // was started from.
        {"relative folder", "bin", "", std::nullopt},
    };
    std::filesystem::current_path(pattern);
    for (const Case& c : cases) {
        EXPECT_EQ(FindPrinterSettingsTool(c.path, c.desktop), c.expected) << c.name;
    }
    // Not executable: not a program to start.
    std::filesystem::remove(tools.Path("system-config-printer"));
    tools.Add("system-config-printer", false);
    EXPECT_EQ(FindPrinterSettingsTool(bin, ""), tool("gnome-control-center", {"printers"}));
    std::filesystem::current_path("/");
    std::filesystem::remove_all(pattern);
}

class SetupHint : public AppTest {
protected:
    void Start(std::uint16_t language = 1033) {
        MakeApp(language);
        sheet = std::make_unique<CTovikSheet>(messages);
        sheet->show();
        page = static_cast<CMainPage*>(sheet->GetPage(0));
        ASSERT_TRUE(QTest::qWaitFor([this] { return !page->IsSearching(); }, 20000));
        QTest::qWait(50);
    }
    // A print system without queues: nothing to list.
    void WithoutPrinters() { setenv("CUPS_SERVER", "/nonexistent/kpm-test/cups.sock", 1); }
    void TearDown() override {
        sheet.reset();
        setenv("CUPS_SERVER", server_.c_str(), 1);
        setenv("PATH", path_.c_str(), 1);
        AppTest::TearDown();
    }
    QString Text(int id) {
        QString text;
        LoadText(id, text);
        return text;
    }

    std::string server_ = std::getenv("CUPS_SERVER") ? std::getenv("CUPS_SERVER") : "";
    std::string path_ = std::getenv("PATH") ? std::getenv("PATH") : "";
    std::unique_ptr<CTovikSheet> sheet;
    CMainPage* page = nullptr;
};

TEST_F(SetupHint, NoPrinterOffersTheDesktopsPrinterSettings) {
    FakeTools tools(environment.Dir());
    tools.Add("system-config-printer");
    setenv("PATH", tools.dir().c_str(), 1);
    WithoutPrinters();
    Start();
    EXPECT_TRUE(page->IsItemVisible(kHint));
    EXPECT_EQ(page->ItemText(kHint), Text(400));
    EXPECT_EQ(page->Item(kHint)->accessibleName(), Text(400));
    ASSERT_TRUE(page->IsItemVisible(kSettingsButton));
    EXPECT_EQ(page->ItemText(kSettingsButton), Text(401));
    EXPECT_EQ(page->Item(kSettingsButton)->focusPolicy() & Qt::TabFocus, Qt::TabFocus);

    // Space on the focused button, as a keyboard user presses it.
    page->Item(kSettingsButton)->setFocus();
    QTest::keyClick(page->Item(kSettingsButton), Qt::Key_Space);
    const QString ran = QString::fromStdString(tools.Path("system-config-printer.ran"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(ran); }, 10000))
        << "the printer settings were not started";
}

TEST_F(SetupHint, WithoutAToolTheLineNamesTheCommandAndTheReadme) {
    setenv("PATH", "/nonexistent", 1);
    WithoutPrinters();
    for (std::uint16_t language : {1033, 1041, 1042, 1049}) {
        Start(language);
        EXPECT_TRUE(page->IsItemVisible(kHint)) << language;
        EXPECT_EQ(page->ItemText(kHint), Text(402)) << language;
        EXPECT_TRUE(page->ItemText(kHint).contains(QStringLiteral("kpbidi discover")));
        EXPECT_TRUE(page->ItemText(kHint).contains(QStringLiteral("README")));
        EXPECT_FALSE(page->IsItemVisible(kSettingsButton)) << language;
        sheet.reset();
    }
}

TEST_F(SetupHint, WithAPrinterThePageIsAsBefore) {
    kpm::test::Queues queues;
    queues.Add(kpm::test::UniqueQueueName("hint"), "usb://Corvane/KPM%20pro?serial=H1");
    Start();
    EXPECT_GT(page->ItemAs<QComboBox>(1001)->count(), 0);
    EXPECT_FALSE(page->IsItemVisible(kHint));
    EXPECT_FALSE(page->IsItemVisible(kSettingsButton));
}

}  // namespace
