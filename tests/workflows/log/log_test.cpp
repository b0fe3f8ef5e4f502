// Log retrieval against the simulated printer: the file name, the fetch into
// the file with the window alive meanwhile, and every way it can fail.
#include <QAbstractButton>
#include <QEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <thread>

#include "app/texts.h"
#include "tests/workflows/workflow_fixture.h"
#include "tools/printer-sim/log_content.h"
#include "workflows/log/log1_page.h"
#include "workflows/log/log2_page.h"
#include "workflows/log/log_file_name.h"

namespace {

namespace fs = std::filesystem;
using testing_support::WorkflowTest;

constexpr int kFolderPage = 201;
constexpr int kFetchPage = 202;
constexpr int kFolderField = 1133;
constexpr int kStatus = 1130;
constexpr int kProgress = 1127;

QString Text(int id) {
    QString text;
    LoadText(id, text);
    return text;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<fs::path> FilesIn(const fs::path& dir) {
    return {fs::directory_iterator(dir), fs::directory_iterator()};
}

// What a signal does now.
sighandler_t Handler(int signal) {
    struct sigaction action {};
    sigaction(signal, nullptr, &action);
    return action.sa_handler;
}

TEST(LogFileName, TakesFourSafeCharactersOfTheSerial) {
    struct Case {
        QString serial;
        QString tail;
    };
    const Case cases[] = {
        {QStringLiteral("ABCDEFGHIJ"), QStringLiteral("EFGH")},
        {QStringLiteral("A1234567"), QStringLiteral("4567")},
        {QStringLiteral("ABC"), QStringLiteral("ABC")},
        {QString(), QString()},
        {QStringLiteral("A/../../x"), QStringLiteral("____")},
        {QString::fromUtf16(u"AB\0C/x-_y", 9), QStringLiteral("_x-_")},
        {QStringLiteral("12\n\x1b[2J"), QStringLiteral("__2J")},
        {QString::fromUtf16(u"12345é_z"), QStringLiteral("5__z")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kpm::workflows::LogFileTail(c.serial), c.tail) << c.serial.toStdString();
    }
    const QDateTime time(QDate(2023, 12, 8), QTime(14, 5), Qt::UTC);
    EXPECT_EQ(kpm::workflows::LogFileName(QStringLiteral("/logs"), QStringLiteral("A1234567"),
                                          time.toLocalTime()),
              QStringLiteral("/logs/ZEDora_xxxx4567_231208_1405.log"));
    EXPECT_EQ(kpm::workflows::LogFileName(QStringLiteral("/logs/"), QString(), time),
              QStringLiteral("/logs/ZEDora_xxxx_231208_1405.log"));
}

class LogTest : public WorkflowTest {
protected:
    void SetUp() override {
        WorkflowTest::SetUp();
        folder = fs::path(environment.Dir()) / "logs";
        fs::create_directory(folder);
    }
    CLog2Page* FetchPage() const { return PageOf<CLog2Page>(kFetchPage); }
    QProgressBar* Bar() const { return FetchPage()->ItemAs<QProgressBar>(kProgress); }
    // Step 1 with `typed` in the folder field, then Next.
    void NextFrom(const QString& typed) {
        Open(kFolderPage);
        sheet->GetActivePage()->SetItemText(kFolderField, typed);
        ASSERT_TRUE(QTest::qWaitFor([this] { return NextEnabled(); }, 2000));
        Next();
    }
    void NextFrom(const fs::path& typed) { NextFrom(QString::fromStdString(typed.string())); }
    void StartLogSheet(bool demo = false) {
        StartSheet(demo);
        QObject::connect(FetchPage(), &CLog2Page::fetchFinished,
                         [this](bool saved) { results.push_back(saved); });
    }
    // Waits for the end of the fetch that Next started; true when it saved.
    bool WaitForFetch() {
        if (!QTest::qWaitFor([this] { return !results.empty(); }, 60000)) {
            ADD_FAILURE() << "the fetch did not end";
            return false;
        }
        QTest::qWait(kSettleMs);
        const bool saved = results.front();
        results.erase(results.begin());
        EXPECT_FALSE(FetchPage()->IsFetching());
        return saved;
    }
    std::vector<fs::path> Files() const { return FilesIn(folder); }
    std::string Log() const { return kpm::sim::LogContent(sim.state().log).ReadAll(); }

    fs::path folder;
    std::vector<bool> results;
};

// Counts the bar's paints and the values it showed, while the log streams.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QProgressBar* bar) : bar_(bar) { bar->installEventFilter(this); }
    int paints = 0;
    std::vector<int> values;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == bar_ && event->type() == QEvent::Paint) {
            ++paints;
            if (values.empty() || values.back() != bar_->value()) {
                values.push_back(bar_->value());
            }
        }
        return false;
    }

private:
    QProgressBar* bar_;
};

TEST_F(LogTest, TheLogArrivesWholeWhileTheWindowPaintsAndStaysOpen) {
    StartLogSheet();
    sim.UpdateState([](kpm::sim::PrinterState& s) { s.serialNumber = "ABCDEFGHIJ"; });
    // Slow enough for the window to be seen at work.
    sim.AddFault("drip:65536/5");
    NextFrom(folder);  // typed without the trailing slash
    ASSERT_EQ(Active(), kFetchPage);
    const QString path = sheet->GetLogFile();
    const std::regex name(folder.string() + R"(/ZEDora_xxxxEFGH_\d{6}_\d{4}\.log)");
    EXPECT_TRUE(std::regex_match(path.toStdString(), name)) << path.toStdString();

    PaintWatch watch(Bar());
    // Meanwhile the log grows under a temporary name beside its own, which
    // an ending signal would remove.
    EXPECT_FALSE(fs::exists(path.toStdString()));
    ASSERT_EQ(Files().size(), 1u);
    EXPECT_EQ(Files()[0].string().rfind(path.toStdString() + ".partial-", 0), 0u);
    EXPECT_NE(Handler(SIGTERM), SIG_DFL);
    EXPECT_EQ(Bar()->maximum(), CLog2Page::kProgressSteps);
    EXPECT_EQ(FetchPage()->ItemText(kStatus), Text(189));
    EXPECT_EQ(sheet->WizardButtons(), 0);
    EXPECT_FALSE(sheet->Button(ui::WizardButton::Cancel)->isEnabled());
    // The window's close button, Alt+F4 (both a close request), Escape and
    // Cancel are refused while the fetch runs.
    EXPECT_FALSE(sheet->close());
    QTest::keyClick(sheet.get(), Qt::Key_Escape);
    sheet->PressCancel();
    sheet->PressBack();
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(Active(), kFetchPage);

    ASSERT_TRUE(WaitForFetch());
    EXPECT_GE(watch.paints, 3);
    EXPECT_GE(watch.values.size(), 3u) << "the bar advanced while painting";
    EXPECT_TRUE(std::is_sorted(watch.values.begin(), watch.values.end()));
    EXPECT_EQ(Bar()->value(), CLog2Page::kProgressSteps);
    EXPECT_EQ(FetchPage()->ItemText(kStatus), path + Text(154));
    EXPECT_EQ(sheet->WizardButtons(), ui::kWizBack | ui::kWizNext);
    EXPECT_TRUE(sheet->Button(ui::WizardButton::Cancel)->isEnabled());
    const std::string log = Log();
    ASSERT_GT(log.size(), std::size_t{5} << 20);
    EXPECT_TRUE(ReadFile(path.toStdString()) == log) << "the file is not the log";
    EXPECT_EQ(Files().size(), 1u);
    EXPECT_EQ(Handler(SIGTERM), SIG_DFL);
    EXPECT_TRUE(messages.boxes.empty());

    Back();
    EXPECT_EQ(Active(), kFolderPage);
    EXPECT_EQ(sheet->GetReturnPage(), kFetchPage);
}

TEST_F(LogTest, ASheetDestroyedDuringTheFetchStopsTheWorker) {
    StartLogSheet();
    sim.UpdateState([](kpm::sim::PrinterState& s) { s.log.size = 1 << 20; });
    sim.AddFault("drip:4096/5");  // more than a second for the whole log
    NextFrom(folder);
    ASSERT_TRUE(FetchPage()->IsFetching());
    const auto start = std::chrono::steady_clock::now();
    sheet.reset();
    // The worker stops writing at once; the library then reads the rest of
    // the reply, which the simulator drips out.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_TRUE(Files().empty()) << "a cut log was left";
}

// However fast the printer, the window gets at most one update of the bar
// per 40 ms, and nothing piles up while it is busy elsewhere.
TEST_F(LogTest, TheBarFollowsAtTheScreensPace) {
    StartLogSheet();
    Open(kFolderPage);
    sheet->GetActivePage()->SetItemText(kFolderField, QString::fromStdString(folder.string()));
    ASSERT_TRUE(QTest::qWaitFor([this] { return NextEnabled(); }, 2000));
    int updates = 0;
    QObject::connect(Bar(), &QProgressBar::valueChanged, [&updates] { ++updates; });
    const auto start = std::chrono::steady_clock::now();
    sheet->PressNext();
    ASSERT_TRUE(FetchPage()->IsFetching());
    // The window runs nothing for a while.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(WaitForFetch());
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LE(updates, elapsed / std::chrono::milliseconds(40) + 3);
    EXPECT_EQ(Bar()->value(), CLog2Page::kProgressSteps);
    EXPECT_TRUE(ReadFile(sheet->GetLogFile().toStdString()) == Log());
}

TEST_F(LogTest, AHostileSerialStaysInsideTheFolder) {
    StartLogSheet();
    for (const char* serial : {"A/../../x", "../\0/../y", "/etc/x\x01"}) {
        sim.UpdateState([&](kpm::sim::PrinterState& s) { s.serialNumber = serial; });
        NextFrom(folder.string() + "/");
        ASSERT_EQ(Active(), kFetchPage);
        ASSERT_TRUE(WaitForFetch());
        const fs::path written = sheet->GetLogFile().toStdString();
        EXPECT_EQ(written.parent_path(), folder) << written;
        EXPECT_TRUE(fs::is_regular_file(written)) << written;
        for (const fs::path& file : Files()) {
            fs::remove(file);
        }
    }
    EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(LogTest, AFailingFetchLeavesThePartialFile) {
    StartLogSheet();
    sim.AddFault("log-gap:5000");
    NextFrom(folder);
    ASSERT_EQ(Active(), kFetchPage);
    EXPECT_FALSE(WaitForFetch());
    EXPECT_EQ(FetchPage()->ItemText(kStatus), Text(163));
    EXPECT_EQ(Bar()->value(), 0);
    const std::string partial = ReadFile(sheet->GetLogFile().toStdString());
    EXPECT_EQ(partial.size(), std::size_t{5000} * 512);
    EXPECT_TRUE(Log().compare(0, partial.size(), partial) == 0);
    EXPECT_EQ(Files().size(), 1u);
}

// The folder removed while the log is read: the log cannot be in it, so
// the fetch is not reported as saved.
TEST_F(LogTest, AFolderRemovedDuringTheFetchIsAFailure) {
    StartLogSheet();
    sim.UpdateState([](kpm::sim::PrinterState& s) { s.log.size = 1 << 20; });
    sim.AddFault("drip:4096/5");  // more than a second for the whole log
    NextFrom(folder);
    ASSERT_EQ(Active(), kFetchPage);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Files().empty(); }, 5000));
    fs::remove_all(folder);
    EXPECT_FALSE(WaitForFetch());
    EXPECT_EQ(FetchPage()->ItemText(kStatus), Text(163));
    EXPECT_FALSE(fs::exists(folder));
}

TEST_F(LogTest, AWriteErrorIsAFailureNotASuccess) {
    StartLogSheet();
    // A file size limit stands in for a full disk: writes past it fail.
    constexpr rlim_t kLimit = 1 << 20;
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit limited = old;
    limited.rlim_cur = kLimit;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    NextFrom(folder);
    const bool saved = Active() == kFetchPage && WaitForFetch();
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);
    ASSERT_EQ(Active(), kFetchPage);
    EXPECT_FALSE(saved);
    EXPECT_EQ(FetchPage()->ItemText(kStatus), Text(163));
    EXPECT_LE(fs::file_size(sheet->GetLogFile().toStdString()), kLimit);
}

TEST_F(LogTest, AFolderWithoutRoomForTheFileKeepsStep1) {
    StartLogSheet();
    std::ofstream(folder / "plain") << "x";
    const QString cases[] = {
        QStringLiteral("/sys"),  // read-only to everybody, root too
        QString::fromStdString((folder / "missing").string()),
        QString::fromStdString((folder / "plain").string()),
        QString(),
    };
    for (const QString& typed : cases) {
        messages.boxes.clear();
        NextFrom(typed);
        EXPECT_EQ(Active(), kFolderPage) << typed.toStdString();
        ASSERT_EQ(messages.boxes.size(), 1u);
        EXPECT_EQ(messages.boxes[0].text, Text(133));
        if (!typed.isEmpty()) {
            EXPECT_TRUE(sheet->GetLogFile().startsWith(typed + "/ZEDora_xxxx"));
        }
    }
    EXPECT_EQ(Files().size(), 1u);

    // Without the printer's identity there is no file name.
    sim.AddFault("status:6@108");
    messages.boxes.clear();
    NextFrom(folder);
    EXPECT_EQ(Active(), kFolderPage);
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_TRUE(messages.boxes[0].text.endsWith(" (6)")) << messages.boxes[0].text.toStdString();
    EXPECT_EQ(Files().size(), 1u);
}

TEST_F(LogTest, Step2ReturnsToStep1WhenItCannotOpenTheFile) {
    StartLogSheet();
    Open(kFolderPage);
    // A link planted under the file's name is not followed.
    const fs::path planted = folder / "planted.log";
    fs::create_symlink(folder / "elsewhere.log", planted);
    for (const fs::path& file : {folder / "missing" / "x.log", planted}) {
        messages.boxes.clear();
        sheet->SetLogFile(QString::fromStdString(file.string()));
        EXPECT_FALSE(sheet->SetActivePage(sheet->GetPageIndexByTemplate(kFetchPage)));
        QTest::qWait(kSettleMs);
        EXPECT_EQ(Active(), kFolderPage);
        ASSERT_EQ(messages.boxes.size(), 1u);
        EXPECT_EQ(messages.boxes[0].text, Text(133));
        EXPECT_FALSE(FetchPage()->IsFetching());
        EXPECT_TRUE(sheet->Button(ui::WizardButton::Cancel)->isEnabled());
        EXPECT_EQ(sheet->WizardButtons(), ui::kWizBack | ui::kWizNext);
    }
    EXPECT_FALSE(fs::exists(folder / "elsewhere.log"));
}

// In a folder every user may write to (mode 1777), the file's name is
// predictable. What another user put under it beforehand (for this minute
// or the next) never receives the log and stays as it was; nor does a name
// that is another link to a file of ours. An earlier log of ours is replaced.
TEST_F(LogTest, ANameTakenBeforehandIsNeverWrittenInto) {
    ASSERT_EQ(geteuid(), 0u) << "planting a file as another user needs root (runuser)";
    StartLogSheet();
    char made[] = "/tmp/kpm-shared-XXXXXX";
    ASSERT_NE(mkdtemp(made), nullptr);
    const fs::path shared = made;
    ASSERT_EQ(chmod(made, 01777), 0);
    sim.UpdateState([](kpm::sim::PrinterState& s) { s.serialNumber = "ABCDEFGH"; });
    const auto nameAt = [&](const QDateTime& time) {
        return kpm::workflows::LogFileName(QString::fromStdString(shared.string()),
                                           QStringLiteral("ABCDEFGH"), time)
            .toStdString();
    };
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const std::string names[] = {nameAt(now), nameAt(now.addSecs(60))};
    const fs::path mine = shared / "mine";

    enum class Planted { TheirFile, LinkToMine, MyEarlierLog };
    for (const Planted planted : {Planted::TheirFile, Planted::LinkToMine, Planted::MyEarlierLog}) {
        std::ofstream(mine) << "mine";
        for (const std::string& name : names) {
            if (planted == Planted::TheirFile) {
                const std::string plant =
                    "runuser -u nobody -- sh -c 'printf theirs > \"$0\"' " + name;
                ASSERT_EQ(std::system(plant.c_str()), 0) << "runuser (util-linux) is needed";
            } else if (planted == Planted::LinkToMine) {
                fs::create_hard_link(mine, name);
            } else {
                std::ofstream(name) << "earlier";
            }
        }
        messages.boxes.clear();
        NextFrom(shared);
        const std::string used = sheet->GetLogFile().toStdString();
        if (planted == Planted::MyEarlierLog) {
            ASSERT_EQ(Active(), kFetchPage);
            ASSERT_TRUE(WaitForFetch());
            EXPECT_TRUE(ReadFile(used) == Log());
        } else {
            EXPECT_EQ(Active(), kFolderPage) << static_cast<int>(planted);
            ASSERT_EQ(messages.boxes.size(), 1u);
            EXPECT_EQ(messages.boxes[0].text, Text(133));
            // Step 2 makes the same check, should the name be taken after step 1.
            messages.boxes.clear();
            EXPECT_FALSE(sheet->SetActivePage(sheet->GetPageIndexByTemplate(kFetchPage)));
            QTest::qWait(kSettleMs);
            EXPECT_EQ(messages.boxes.size(), 1u);
            EXPECT_EQ(ReadFile(used), planted == Planted::TheirFile ? "theirs" : "mine");
            struct stat st {};
            ASSERT_EQ(stat(used.c_str(), &st), 0);
            EXPECT_EQ(st.st_uid, planted == Planted::TheirFile ? 65534u : 0u);
        }
        EXPECT_EQ(ReadFile(mine), "mine");
        const std::vector<fs::path> files = FilesIn(shared);  // no partial file among them
        EXPECT_EQ(std::set<fs::path>(files.begin(), files.end()),
                  (std::set<fs::path>{mine, names[0], names[1]}));
        for (const std::string& name : names) {
            fs::remove(name);
        }
    }
    fs::remove_all(shared);
}

TEST_F(LogTest, BrowseStoresTheChosenFolderWithASlash) {
    StartLogSheet(true);
    Open(kFolderPage);
    auto* page = sheet->GetActivePage();
    const QString start = QString::fromStdString(environment.Dir());
    page->SetItemText(kFolderField, start);
    struct Case {
        int answer;
        QString field;
    };
    const QString chosen = QString::fromStdString(folder.string()) + "/";
    for (const Case& c : {Case{ui::kIdCancel, start}, Case{ui::kIdOk, chosen}}) {
        QString title;
        QString startedAt;
        messages.onModal = [&](QDialog& dialog) {
            auto& browser = dynamic_cast<QFileDialog&>(dialog);
            title = browser.windowTitle();
            startedAt = browser.directory().absolutePath();
            browser.setDirectory(QString::fromStdString(folder.string()));
            return c.answer;
        };
        page->ItemAs<QAbstractButton>(1134)->click();
        EXPECT_EQ(title, Text(207));
        EXPECT_EQ(startedAt, start);
        EXPECT_EQ(page->ItemText(kFolderField), c.field);
        EXPECT_EQ(sheet->m_strLogFolder, c.answer == ui::kIdOk ? chosen : QString());
    }
    // A folder typed by hand is used, not remembered.
    page->SetItemText(kFolderField, start);
    Next();
    EXPECT_TRUE(sheet->GetLogFile().startsWith(start + "/ZEDora_xxxx"));
    EXPECT_EQ(sheet->m_strLogFolder, chosen);
    ASSERT_TRUE(WaitForFetch());
    Back();
    EXPECT_EQ(page->ItemText(kFolderField), chosen) << "step 1 starts in the folder chosen last";
}

TEST_F(LogTest, DemoModeRunsTheBarAndWritesNoFile) {
    StartLogSheet(true);
    sheet->m_strLogFolder = QString::fromStdString(folder.string() + "/");
    Open(kFolderPage);
    EXPECT_EQ(sheet->GetActivePage()->ItemText(kFolderField), sheet->m_strLogFolder);
    Next();
    ASSERT_EQ(Active(), kFetchPage);
    ASSERT_TRUE(WaitForFetch());
    EXPECT_EQ(Bar()->value(), CLog2Page::kProgressSteps);
    EXPECT_EQ(FetchPage()->ItemText(kStatus), sheet->GetLogFile() + Text(154));
    EXPECT_TRUE(sheet->GetLogFile().contains(QStringLiteral("ZEDora_xxxx0000_")));
    EXPECT_TRUE(Files().empty());
    Next();
    EXPECT_EQ(Active(), kpm::ids::IDD_MAIN);
}

}  // namespace
