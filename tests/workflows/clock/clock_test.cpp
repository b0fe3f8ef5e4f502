// The nozzle-check clock page: the time of day it shows and keeps
// refreshing, the moment it sends, and its failures, with a clock of the
// test's own.
#include <QDateTime>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include "tests/workflows/message_texts.h"
#include "tests/workflows/workflow_fixture.h"
#include "workflows/clock/local_time_setting1_page.h"

namespace {

using testing_support::MessageText;
using testing_support::ShownTexts;

constexpr int kMain = 102;
constexpr int kPage = kpm::ids::IDD_LOCAL_TIME_SETTING1;

// The printer's clock: seconds since 2000-01-01 on the PC's wall clock.
std::uint32_t PrinterWallClock(const QDateTime& local) {
    const QDateTime asUtc(local.date(), local.time(), Qt::UTC);
    return static_cast<std::uint32_t>(
        asUtc.toSecsSinceEpoch() -
        QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC).toSecsSinceEpoch());
}

class ClockPage : public testing_support::WorkflowTest {
protected:
    void Start(bool demo = false) {
        StartSheet(demo);
        PageOf<CLocalTimeSetting1Page>(kPage)->SetClock([this] { return now; });
        Open(kPage);
    }
    QString Shown() const { return PageOf<CLocalTimeSetting1Page>(kPage)->ItemText(1267); }

    QDateTime now{QDate(2026, 12, 9), QTime(9, 5, 59)};
};

TEST_F(ClockPage, ShowsHoursAndMinutesAndKeepsThemCurrent) {
    Start();
    EXPECT_EQ(Shown(), QStringLiteral("09:05"));
    now = now.addSecs(1);
    QTRY_COMPARE_WITH_TIMEOUT(Shown(), QStringLiteral("09:06"), 2500);
    EXPECT_TRUE(NextEnabled() && BackEnabled());

    // The notice is red and in the large bold font; the time keeps running
    // while the page is not shown.
    auto* notice = qobject_cast<QLabel*>(PageOf<CLocalTimeSetting1Page>(kPage)->Item(1288));
    EXPECT_EQ(notice->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(notice->font(), sheet->Fonts().LargeBoldFont());
    Back();
    ASSERT_EQ(Active(), kMain);
    EXPECT_EQ(sheet->GetReturnPage(), kPage);
    now = QDateTime(QDate(2026, 12, 9), QTime(23, 59, 0));
    QTRY_COMPARE_WITH_TIMEOUT(Shown(), QStringLiteral("23:59"), 2500);
}

TEST_F(ClockPage, SendsTheMomentOfThePress) {
    Start();
    // Later than the minute on show, and no tick in between.
    now = QDateTime(QDate(2026, 12, 9), QTime(9, 7, 41));
    Next();
    EXPECT_EQ(Active(), kMain);
    EXPECT_EQ(sim.state().clockSeconds, PrinterWallClock(now));
    EXPECT_EQ(ShownTexts(messages), QStringList{MessageText(312)});
    EXPECT_EQ(messages.boxes[0].caption, QString::fromLatin1(kInformationCaption));
}

TEST_F(ClockPage, AFailureIsShownWithItsCodeAndNextMayBePressedAgain) {
    Start();
    sim.AddFault("status:19@128x1");
    Next();
    EXPECT_EQ(Active(), kPage);
    EXPECT_EQ(ShownTexts(messages), QStringList{MessageText(208, 19)});
    EXPECT_FALSE(sim.state().clockSeconds.has_value());
    Next();
    EXPECT_EQ(Active(), kMain);
    EXPECT_EQ(sim.state().clockSeconds, PrinterWallClock(now));
}

TEST_F(ClockPage, FromTheMainPageAndBack) {
    StartSheet();
    PageOf<CLocalTimeSetting1Page>(kPage)->SetClock([this] { return now; });
    ChooseTask(1007);
    ASSERT_EQ(Active(), kPage);
    Next();
    EXPECT_EQ(Active(), kMain);
    EXPECT_EQ(sim.state().clockSeconds, PrinterWallClock(now));
}

TEST_F(ClockPage, DemoModeConfirmsAndReturnsWithoutAPrinter) {
    StartSheet(true);
    PageOf<CLocalTimeSetting1Page>(kPage)->SetClock([this] { return now; });
    ChooseTask(1007);
    ASSERT_EQ(Active(), kPage);
    Next();
    EXPECT_EQ(Active(), kMain);
    EXPECT_EQ(ShownTexts(messages), QStringList{MessageText(312)});
    EXPECT_TRUE(sim.requests().empty());
}

}  // namespace
