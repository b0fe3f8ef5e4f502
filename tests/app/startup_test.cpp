#include "app/tovik_tool_app.h"

#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/app/app_fixture.h"

using testing_support::AppEnvironment;
using testing_support::RecordingMessageService;

namespace {

// The start-up routine in this process, without the wizard.
class StartupApp : public CTovikToolApp {
public:
    using CTovikToolApp::CTovikToolApp;
    int sheetRuns = 0;

protected:
    int RunSheet() override {
        ++sheetRuns;
        return 0;
    }
};

struct Outcome {
    int demo;
    std::uint16_t language;
};

Outcome StartAs(const QStringList& arguments) {
    RecordingMessageService messages;
    StartupApp app(messages);
    EXPECT_EQ(app.InitInstance(arguments), 0);
    EXPECT_EQ(app.sheetRuns, 1);
    return {app.IsDemoMode(), app.GetLanguageId()};
}

}  // namespace

TEST(Startup, DemoModeFromTheNameAndTheCommandLine) {
    AppEnvironment environment;
    EXPECT_EQ(StartAs({QStringLiteral("/usr/bin/kpm-wizard-demo")}).demo, 1);
    EXPECT_EQ(StartAs({QStringLiteral("/opt/demo/kpm-wizard")}).demo, 0);
    EXPECT_EQ(StartAs({QStringLiteral("/usr/bin/kpm-wizard-Demo")}).demo, 0);
    EXPECT_EQ(StartAs({QStringLiteral("/usr/bin/kpm-wizard"), QStringLiteral("-demo")}).demo, 1);
    EXPECT_EQ(
        StartAs({QStringLiteral("/usr/bin/kpm-wizard"), QStringLiteral("x-demonstration")}).demo,
        1);
    EXPECT_EQ(StartAs({QStringLiteral("/usr/bin/kpm-wizard"), QStringLiteral("-Demo")}).demo, 0);
}

TEST(Startup, LanguageFromTheNameOrTheSettingsFile) {
    AppEnvironment environment;
    environment.WriteSetup("SetupLangID=25\n");
    EXPECT_EQ(StartAs({QStringLiteral("/usr/bin/kpm-wizard")}).language, 1049);
    EXPECT_EQ(StartAs({QStringLiteral("/usr/bin/kpm-wizard-kor")}).language, 1042);
    environment.RemoveSetup();
    EXPECT_EQ(StartAs({QStringLiteral("/usr/bin/kpm-wizard")}).language, 1033);
}

TEST(Startup, WithoutALockFileTheWizardDoesNotStart) {
    AppEnvironment environment;
    setenv("XDG_RUNTIME_DIR", (environment.Dir() + "/missing").c_str(), 1);
    RecordingMessageService messages;
    StartupApp app(messages);
    EXPECT_NE(app.InitInstance({QStringLiteral("/usr/bin/kpm-wizard")}), 0);
    EXPECT_EQ(app.sheetRuns, 0);
    EXPECT_TRUE(messages.boxes.empty());
}

// Two real processes: the second shows message 209 in its own language and
// ends normally; the first goes on undisturbed.
TEST(Startup, SecondInstanceIsRefused) {
    AppEnvironment environment;
    const std::filesystem::path dir = environment.Dir();
    std::filesystem::create_symlink(STARTUP_PROBE, dir / "kpm-wizard");
    std::filesystem::create_symlink(STARTUP_PROBE, dir / "kpm-wizard-jpn-demo");

    QProcess first;
    first.start(QString::fromStdString((dir / "kpm-wizard").string()), {});
    ASSERT_TRUE(first.waitForStarted(5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.canReadLine(); }, 10000));
    EXPECT_EQ(first.readLine().trimmed(), QByteArray("RUNNING demo=0 language=1033"));

    QProcess second;
    second.start(QString::fromStdString((dir / "kpm-wizard-jpn-demo").string()), {});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    const QString output = QString::fromUtf8(second.readAllStandardOutput());
    EXPECT_FALSE(output.contains(QStringLiteral("RUNNING")));
    ASSERT_TRUE(output.startsWith(QStringLiteral("BOX kpm-wizard-jpn-demo|")));
    EXPECT_TRUE(output.contains(QStringLiteral("KPMRuzeDiziririrod.exe")));
    EXPECT_FALSE(output.contains(QStringLiteral("has already started")));  // Japanese text
    EXPECT_FALSE(output.contains(QStringLiteral("(0)")));                  // no code appended

    // The first instance still runs and ends normally when asked.
    EXPECT_EQ(first.state(), QProcess::Running);
    first.closeWriteChannel();
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_EQ(first.exitCode(), 0);

    // With the first gone, the next one starts.
    QProcess third;
    third.start(QString::fromStdString((dir / "kpm-wizard-jpn-demo").string()), {});
    ASSERT_TRUE(third.waitForStarted(5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return third.canReadLine(); }, 10000));
    EXPECT_EQ(third.readLine().trimmed(), QByteArray("RUNNING demo=1 language=1041"));
    third.closeWriteChannel();
    ASSERT_TRUE(third.waitForFinished(10000));
}
