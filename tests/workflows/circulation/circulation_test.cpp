// The white-ink circulation schedule: cancelling, the start times as typed
// (with the keys the boxes keep to themselves), the checks of Next and what
// the printer receives, against the simulator.
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

#include "tests/workflows/message_texts.h"
#include "tests/workflows/workflow_fixture.h"
#include "workflows/circulation/circulation_schedule1_page.h"
#include "workflows/circulation/circulation_schedule2_page.h"

namespace {

using testing_support::MessageText;
using testing_support::ShownTexts;
using Page2 = CCirculationSchedule2Page;

constexpr int kMain = 102;

kpm::sim::ScheduleEntry Entry(int hour, int minute, int kind = 1) {
    return {static_cast<std::uint8_t>(hour), static_cast<std::uint8_t>(minute), kind};
}

QStringList Texts(std::initializer_list<int> ids) {
    QStringList texts;
    for (int id : ids) {
        texts << MessageText(id);
    }
    return texts;
}

class CirculationSchedule : public testing_support::WorkflowTest {
protected:
    // The sheet on the start times of the schedule the printer holds.
    void StartOnTimes(bool demo = false) {
        StartSheet(demo);
        Times()->SetClock([] { return QDateTime(QDate(2026, 12, 9), QTime(7, 30, 5)); });
        Open(kpm::ids::IDD_CIRCULATION_SCHEDULE1);
        Next();
        ASSERT_EQ(Active(), kpm::ids::IDD_CIRCULATION_SCHEDULE2);
    }
    Page2* Times() const { return PageOf<Page2>(kpm::ids::IDD_CIRCULATION_SCHEDULE2); }
    QLineEdit* Box(int k) const {
        return Times()->ItemAs<QLineEdit>(kpm::ids::IDC_CIRCULATION_SCHEDULE2_BOX1 + k - 1);
    }
    QRadioButton* Radio(int k) const {
        return Times()->ItemAs<QRadioButton>(kpm::ids::IDC_CIRCULATION_SCHEDULE2_ENHANCED1 + k - 1);
    }
    QWidget* Focused() const { return Times()->focusWidget(); }
    // What the boxes show, up to the last filled one; the radio selected (1
    // to 8) or 0.
    QStringList Shown() const {
        QStringList texts;
        for (int k = 1; k <= Page2::kBoxCount; ++k) {
            texts << Box(k)->text();
        }
        while (!texts.isEmpty() && texts.back().isEmpty()) {
            texts.removeLast();
        }
        return texts;
    }
    int SelectedRadio() const {
        for (int k = 1; k <= Page2::kBoxCount; ++k) {
            if (Radio(k)->isChecked()) {
                return k;
            }
        }
        return 0;
    }
    // Empties the boxes and radios, then clicks radio `radio` (none for 0)
    // and types `texts`.
    void Enter(const QStringList& texts, int radio) {
        for (int k = 1; k <= Page2::kBoxCount; ++k) {
            Times()->SetItemText(kpm::ids::IDC_CIRCULATION_SCHEDULE2_BOX1 + k - 1, QString());
            Times()->CheckItem(kpm::ids::IDC_CIRCULATION_SCHEDULE2_ENHANCED1 + k - 1, false);
        }
        // The radio first: releasing the mouse button normalises the boxes.
        if (radio != 0) {
            Click(Radio(radio));
        }
        for (int k = 1; k <= texts.size(); ++k) {
            QTest::keyClicks(Box(k), texts[k - 1]);
        }
        Settle();
        messages.boxes.clear();
    }
};

TEST_F(CirculationSchedule, NextChecksTheTimesAndWritesThemSorted) {
    struct Case {
        const char* name;
        QStringList typed;
        int radio;
        QStringList texts;  // the messages shown
        QStringList shown;  // the boxes afterwards
        int shownRadio;
        std::vector<kpm::sim::ScheduleEntry> sent;  // empty: nothing sent
    };
    const QStringList everyFourHours{"00:00", "04:00", "08:00", "12:00", "16:00", "20:00"};
    const Case cases[] = {
        {"accepted and sorted",
         {"800", "12:00", "4:00", "16:00", "20:00", "0"},
         2,
         Texts({333}),
         everyFourHours,
         4,
         {Entry(0, 0), Entry(4, 0), Entry(8, 0), Entry(12, 0, 2), Entry(16, 0), Entry(20, 0)}},
        {"19 hours from the last to the first",
         {"1:00", "2:00", "3:00", "4:00", "5:00", "6:00"},
         1,
         Texts({332}),
         {"01:00", "02:00", "03:00", "04:00", "05:00", "06:00"},
         1,
         {}},
        {"a repeated time counts once",
         {"0:00", "6:00", "12:00", "18:00", "0:00"},
         1,
         Texts({339}),
         {"00:00", "06:00", "12:00", "18:00"},
         1,
         {}},
        {"a gap under an hour",
         {"0:00", "0:30", "4:00", "8:00", "12:00", "16:00", "20:00"},
         3,
         Texts({332}),
         {"00:00", "00:30", "04:00", "08:00", "12:00", "16:00", "20:00"},
         3,
         {}},
        {"no enhanced time chosen",
         {"0", "400", "800", "1200", "1600", "2000"},
         0,
         Texts({340}),
         everyFourHours,
         0,
         {}},
        {"the enhanced radio of an empty box",
         {"0", "400", "800", "1200", "1600", "2000"},
         8,
         Texts({341}),
         everyFourHours,
         0,
         {}},
        {"a last text that is no time fails silently, then as a gap",
         {"0", "400", "800", "1200", "1600", "2000", "1.00"},
         1,
         Texts({332}),
         everyFourHours,
         1,
         {}},
        {"empty boxes between times close up",
         {"2000", "", "0", "4:00", "", "8:", "12:00", "16:00"},
         1,
         Texts({333}),
         everyFourHours,
         6,
         {}},
        {"eight times round midnight, entered backwards",
         {"21:00", "18:00", "15:00", "12:00", "9:00", "6:00", "3:00", "0:00"},
         8,
         Texts({333}),
         {"00:00", "03:00", "06:00", "09:00", "12:00", "15:00", "18:00", "21:00"},
         1,
         {Entry(0, 0, 2), Entry(3, 0), Entry(6, 0), Entry(9, 0), Entry(12, 0), Entry(15, 0),
          Entry(18, 0), Entry(21, 0)}},
    };
    StartOnTimes();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim.UpdateState([](kpm::sim::PrinterState& s) {
            s.schedule.clear();
            s.clockSeconds.reset();
        });
        Open(kpm::ids::IDD_CIRCULATION_SCHEDULE2);
        Enter(c.typed, c.radio);
        Next();
        EXPECT_EQ(ShownTexts(messages), c.texts);
        EXPECT_EQ(Shown(), c.shown);
        EXPECT_EQ(SelectedRadio(), c.shownRadio);
        const bool accepted = c.texts == Texts({333});
        EXPECT_EQ(Active(), accepted ? kMain : kpm::ids::IDD_CIRCULATION_SCHEDULE2);
        EXPECT_EQ(sim.state().clockSeconds.has_value(), accepted);
        if (!c.sent.empty() || !accepted) {
            EXPECT_EQ(sim.state().schedule, c.sent);
        }
    }
}

TEST_F(CirculationSchedule, AnOutOfRangeLastBoxFailsOnceThenTheRestIsAccepted) {
    StartSheet();
    ChooseTask(1008);
    ASSERT_EQ(Active(), kpm::ids::IDD_CIRCULATION_SCHEDULE1);
    Next();
    ASSERT_EQ(Active(), kpm::ids::IDD_CIRCULATION_SCHEDULE2);
    Enter({"0", "400", "800", "1200", "1600", "2000", "", "99:"}, 6);
    Next();
    EXPECT_EQ(ShownTexts(messages), Texts({334, 332}));
    EXPECT_EQ(Active(), kpm::ids::IDD_CIRCULATION_SCHEDULE2);
    EXPECT_TRUE(sim.state().schedule.empty());
    messages.boxes.clear();
    Next();
    EXPECT_EQ(ShownTexts(messages), Texts({333}));
    EXPECT_EQ(Active(), kMain);
    ASSERT_EQ(sim.state().schedule.size(), 6u);
    EXPECT_EQ(sim.state().schedule[5], Entry(20, 0, 2));
}

TEST_F(CirculationSchedule, TypingNormalisesFourDigitsAndFiveCharacterTimesAtOnce) {
    StartOnTimes();
    EXPECT_FALSE(NextEnabled());  // no time yet
    EXPECT_TRUE(BackEnabled());

    QTest::keyClicks(Box(1), QStringLiteral("240"));
    EXPECT_EQ(Box(1)->text(), QStringLiteral("240"));
    EXPECT_TRUE(messages.boxes.empty());
    Settle();
    EXPECT_TRUE(NextEnabled());
    QTest::keyClick(Box(1), Qt::Key_0);
    EXPECT_EQ(ShownTexts(messages), Texts({334}));
    EXPECT_EQ(Box(1)->text(), QString());
    Settle();
    EXPECT_FALSE(NextEnabled());

    QTest::keyClicks(Box(2), QStringLiteral("123"));
    EXPECT_EQ(Box(2)->text(), QStringLiteral("123"));
    QTest::keyClick(Box(2), Qt::Key_4);
    EXPECT_EQ(Box(2)->text(), QStringLiteral("12:34"));

    QApplication::clipboard()->setText(QStringLiteral("12345"));
    QTest::keyClick(Box(3), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Box(3)->text(), QStringLiteral("23:45"));

    // Five characters normalise only when they are a time.
    QTest::keyClicks(Box(4), QStringLiteral("7:5"));
    EXPECT_EQ(Box(4)->text(), QStringLiteral("7:5"));
    QTest::keyClicks(Box(4), QStringLiteral("09"));
    EXPECT_EQ(Box(4)->text(), QStringLiteral("7:509"));
    QTest::keyClicks(Box(5), QStringLiteral("8:30"));
    EXPECT_EQ(Box(5)->text(), QStringLiteral("8:30"));
    QTest::keyClicks(Box(6), QStringLiteral("12:3"));
    QTest::keyClick(Box(6), Qt::Key_0);
    EXPECT_EQ(Box(6)->text(), QStringLiteral("12:30"));
    EXPECT_EQ(messages.boxes.size(), 1u);
}

TEST_F(CirculationSchedule, TabEnterAndShiftTabNormaliseAndMoveBetweenTheBoxesOnly) {
    StartOnTimes();
    Box(1)->setFocus();
    QTest::keyClicks(Box(1), QStringLiteral("8:"));
    QTest::keyClick(Box(1), Qt::Key_Tab);
    EXPECT_EQ(Box(1)->text(), QStringLiteral("08:00"));
    EXPECT_EQ(Focused(), Box(2));

    QTest::keyClicks(Box(2), QStringLiteral(":30"));
    Settle();
    ASSERT_TRUE(NextEnabled());  // so that a missed Enter would press it
    EXPECT_FALSE(sheet->Button(ui::WizardButton::Next)->isDefault());
    QTest::keyClick(Box(2), Qt::Key_Return);
    EXPECT_EQ(Box(2)->text(), QStringLiteral("00:30"));
    EXPECT_EQ(Focused(), Box(3));
    QTest::keyClick(Box(3), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(Focused(), Box(4));
    QTest::keyClick(Box(4), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Focused(), Box(3));

    // Round from the first box to the last and back.
    QTest::keyClick(Box(1), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Focused(), Box(8));
    QTest::keyClick(Box(8), Qt::Key_Tab);
    EXPECT_EQ(Focused(), Box(1));

    // Two colons or a dot: emptied without a word.
    QTest::keyClicks(Box(4), QStringLiteral("1:2:3"));
    QTest::keyClick(Box(4), Qt::Key_Tab);
    QTest::keyClicks(Box(5), QStringLiteral("8.00"));
    QTest::keyClick(Box(5), Qt::Key_Return);
    EXPECT_EQ(Box(4)->text(), QString());
    EXPECT_EQ(Box(5)->text(), QString());

    // From a radio, on is the next box and back is its own.
    QTest::keyClick(Radio(3), Qt::Key_Tab);
    EXPECT_EQ(Focused(), Box(4));
    QTest::keyClick(Radio(3), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Focused(), Box(3));
    QTest::keyClick(Radio(8), Qt::Key_Return);
    EXPECT_EQ(Focused(), Box(1));

    // The arrows lead from the end of a box to its radio and back.
    QTest::keyClick(Box(1), Qt::Key_End);
    QTest::keyClick(Box(1), Qt::Key_Left);
    QTest::keyClick(Box(1), Qt::Key_Right);
    EXPECT_EQ(Focused(), Box(1));  // the cursor moved within the text
    QTest::keyClick(Box(1), Qt::Key_Right);
    EXPECT_EQ(Focused(), Radio(1));
    QTest::keyClick(Radio(1), Qt::Key_Space);
    EXPECT_TRUE(Radio(1)->isChecked());
    QTest::keyClick(Radio(1), Qt::Key_Left);
    EXPECT_EQ(Focused(), Box(1));

    // Enter never pressed Next: that would have complained of too few times.
    EXPECT_EQ(Active(), kpm::ids::IDD_CIRCULATION_SCHEDULE2);
    EXPECT_TRUE(messages.boxes.empty()) << ShownTexts(messages).join('|').toStdString();
}

TEST_F(CirculationSchedule, ReleasingAMouseButtonOnThePageNormalisesEveryBox) {
    StartOnTimes();
    QTest::keyClicks(Box(1), QStringLiteral("800"));
    QTest::keyClicks(Box(3), QStringLiteral("7"));
    Click(Times()->Item(1287));
    EXPECT_EQ(Box(1)->text(), QStringLiteral("08:00"));
    EXPECT_EQ(Box(3)->text(), QStringLiteral("00:07"));
    QTest::keyClicks(Box(2), QStringLiteral("930"));
    Click(Times(), Qt::RightButton);
    EXPECT_EQ(Box(2)->text(), QStringLiteral("09:30"));
}

TEST_F(CirculationSchedule, TheFirstShowingTakesThePrintersScheduleLaterOnesKeepTheBoxes) {
    sim.UpdateState([](kpm::sim::PrinterState& s) { s.schedule = {Entry(8, 0), Entry(6, 30, 2)}; });
    StartOnTimes();
    EXPECT_EQ(Times()->ItemText(kpm::ids::IDC_CIRCULATION_SCHEDULE2_TIME), QStringLiteral("07:30"));
    EXPECT_EQ(Shown(), (QStringList{"06:30", "08:00"}));
    EXPECT_EQ(SelectedRadio(), 1);
    EXPECT_TRUE(NextEnabled());

    QTest::keyClicks(Box(3), QStringLiteral("1200"));
    Settle();
    sim.UpdateState([](kpm::sim::PrinterState& s) { s.schedule = {Entry(1, 0)}; });
    Back();
    ASSERT_EQ(Active(), kpm::ids::IDD_CIRCULATION_SCHEDULE1);
    EXPECT_EQ(sheet->GetReturnPage(), kpm::ids::IDD_CIRCULATION_SCHEDULE2);
    Next();
    ASSERT_EQ(Active(), kpm::ids::IDD_CIRCULATION_SCHEDULE2);
    EXPECT_EQ(Shown(), (QStringList{"06:30", "08:00", "12:00"}));
}

TEST_F(CirculationSchedule, CancellingSendsAnEmptyScheduleAndNoClock) {
    sim.UpdateState([](kpm::sim::PrinterState& s) { s.schedule = {Entry(8, 0)}; });
    StartSheet();
    Open(kpm::ids::IDD_CIRCULATION_SCHEDULE1);
    EXPECT_TRUE(PageOf<CCirculationSchedule1Page>(kpm::ids::IDD_CIRCULATION_SCHEDULE1)
                    ->IsItemChecked(kpm::ids::IDC_CIRCULATION_SCHEDULE1_SET));
    QTest::mouseClick(PageOf<CCirculationSchedule1Page>(kpm::ids::IDD_CIRCULATION_SCHEDULE1)
                          ->Item(kpm::ids::IDC_CIRCULATION_SCHEDULE1_CANCEL),
                      Qt::LeftButton);
    Settle();
    EXPECT_TRUE(NextEnabled() && BackEnabled());

    sim.AddFault("status:7@130x1");
    Next();
    EXPECT_EQ(ShownTexts(messages), QStringList{MessageText(389, 7)});
    EXPECT_EQ(Active(), kpm::ids::IDD_CIRCULATION_SCHEDULE1);
    messages.boxes.clear();
    Next();
    EXPECT_EQ(ShownTexts(messages), Texts({319}));
    EXPECT_EQ(Active(), kMain);
    EXPECT_TRUE(sim.state().schedule.empty());
    EXPECT_FALSE(sim.state().clockSeconds.has_value());
}

TEST_F(CirculationSchedule, APrinterFailureShowsItsCodeAndTheSortedTimes) {
    StartOnTimes();
    Enter({"2000", "1600", "1200", "800", "400", "0"}, 1);
    sim.AddFault("status:19@128x1");
    Next();
    EXPECT_EQ(ShownTexts(messages), QStringList{MessageText(208, 19)});
    EXPECT_EQ(Active(), kpm::ids::IDD_CIRCULATION_SCHEDULE2);
    EXPECT_EQ(Shown(), (QStringList{"00:00", "04:00", "08:00", "12:00", "16:00", "20:00"}));
    EXPECT_EQ(SelectedRadio(), 6);
    EXPECT_TRUE(sim.state().schedule.empty());  // no schedule without the clock

    messages.boxes.clear();
    sim.AddFault("status:7@130x1");
    Next();
    EXPECT_EQ(ShownTexts(messages), QStringList{MessageText(389, 7)});
    EXPECT_EQ(Active(), kpm::ids::IDD_CIRCULATION_SCHEDULE2);
    EXPECT_TRUE(sim.state().clockSeconds.has_value());
    EXPECT_TRUE(sim.state().schedule.empty());
}

TEST_F(CirculationSchedule, DemoModeWalksThroughFromTheMainPage) {
    StartSheet(true);
    ChooseTask(1008);
    ASSERT_EQ(Active(), kpm::ids::IDD_CIRCULATION_SCHEDULE1);
    Next();
    ASSERT_EQ(Active(), kpm::ids::IDD_CIRCULATION_SCHEDULE2);
    Enter({"0", "4", "8", "12", "16", "20"}, 1);  // minutes, not hours: gaps too short
    Next();
    EXPECT_EQ(ShownTexts(messages), Texts({332}));
    Enter({"0", "400", "800", "1200", "1600", "2000"}, 1);
    Next();
    EXPECT_EQ(ShownTexts(messages), Texts({333}));
    EXPECT_EQ(Active(), kMain);
    EXPECT_TRUE(sim.requests().empty());
}

}  // namespace
