// The platen-rolling adjustment on a simulated printer through the private
// cupsd: what each step sends, where Next and Back lead, and what the user
// is told when the printer refuses.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <vector>

#include "tests/workflows/adjustment_steps.h"
#include "ui/controls.h"

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<unsigned char>;

constexpr std::uint16_t kPlatenCommand = 109;
constexpr std::uint16_t kFeedCommand = 114;

class PlatenTest : public testing_support::AdjustmentTest {
protected:
    // Steps 1 and 2 from the main page: the box set, the pattern sent.
    void ThroughPreparation() {
        Open(252);
        Click(1192);
        Next();
        ASSERT_EQ(Active(), 230);
        Next();
        ASSERT_EQ(Active(), 231);
    }
    // Steps 3 to 6 of the banding phase: the bands chosen, written,
    // reprinted and confirmed with "Yes".
    void ThroughBanding(const char* fwd, const char* rvs) {
        Next();
        ASSERT_EQ(Active(), 233);
        Choose(1165, fwd);
        Choose(1166, rvs);
        Next();
        ASSERT_EQ(Active(), 234);
        Next();
        ASSERT_EQ(Active(), 237);
    }
    std::string LastMessage() const {
        return messages.boxes.empty() ? std::string() : messages.boxes.back().text.toStdString();
    }
};

TEST_F(PlatenTest, TheConfirmationGatesTheChainAndSurvivesBackFromStep2) {
    StartSheet();
    Open(252);
    EXPECT_FALSE(Checked(1192));
    EXPECT_TRUE(BackEnabled());
    EXPECT_FALSE(NextEnabled());

    Click(1192);
    EXPECT_TRUE(NextEnabled());
    Click(1192);
    EXPECT_FALSE(NextEnabled());
    Click(1192);
    Next();
    ASSERT_EQ(Active(), 230);
    Back();
    ASSERT_EQ(Active(), 252);
    EXPECT_TRUE(Checked(1192));
    EXPECT_TRUE(NextEnabled());
    EXPECT_EQ(sheet->GetReturnPage(), -1);

    // A new start from the main page asks again.
    Back();
    EXPECT_EQ(Active(), 102);
    Open(252);
    EXPECT_FALSE(Checked(1192));
    EXPECT_FALSE(NextEnabled());
    EXPECT_TRUE(Sent(kPlatenCommand).empty());
}

// Each preparation: its printer write refused (nothing printed) or its
// pattern job refused; the page stays and names the failure.
struct PreparationFailure {
    const char* name;
    int page;
    const char* fault;  // simulator fault, or "" for a queue that refuses jobs
    int code;
    const char* message;  // start of the message
};
void PrintTo(const PreparationFailure& failure, std::ostream* out) {
    *out << failure.name;
}

class PreparationFailureTest : public PlatenTest,
                               public ::testing::WithParamInterface<PreparationFailure> {};

TEST_P(PreparationFailureTest, StaysAndSendsNoPattern) {
    const PreparationFailure& failure = GetParam();
    StartSheet();
    if (failure.page == 280) {
        Open(280);
    } else {
        Open(252);
        Click(1192);
        Next();
    }
    ASSERT_EQ(Active(), failure.page);
    sim.AddFault(failure.fault);
    Next();
    EXPECT_EQ(Active(), failure.page);
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(LastMessage().rfind(failure.message, 0), 0u) << LastMessage();
    EXPECT_TRUE(LastMessage().ends_with(" (" + std::to_string(failure.code) + ")"))
        << LastMessage();
    QTest::qWait(300);
    EXPECT_TRUE(sim.jobs().empty());

    // Next again once the printer accepts.
    sim.ClearFaults();
    Next();
    EXPECT_EQ(Active(), failure.page == 280 ? 281 : 231);
    EXPECT_TRUE(sim.WaitForJobs(1, 10s));
}

INSTANTIATE_TEST_SUITE_P(
    Steps, PreparationFailureTest,
    ::testing::Values(PreparationFailure{"ResetRefused", 230, "status:7@109", 7,
                                         "The printer setting change has failed."},
                      PreparationFailure{"ResetWhileOperating", 230, "status:14@109", 14,
                                         "The printer is operating."},
                      PreparationFailure{"ResetUnanswered", 230, "close@109", 1006,
                                         "Communication Error."},
                      PreparationFailure{"FeedRefused", 280, "status:7@114", 7,
                                         "The printer setting change has failed."},
                      PreparationFailure{"FeedWhileOperating", 280, "status:14@114", 14,
                                         "The printer is operating."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlatenTest, TheWholeChainFromTheMainPageToTheMainPage) {
    StartSheet();
    WaitForMainPageSearch();
    ASSERT_EQ(Active(), 102);
    auto* printers = sheet->GetActivePage()->ItemAs<QComboBox>(1001);
    const int index = printers->findText(QString::fromStdString(queue));
    ASSERT_GE(index, 0) << "the main page does not list " << queue;
    printers->setCurrentIndex(index);
    Click(1153);
    Next();
    ASSERT_EQ(Active(), 252);
    EXPECT_FALSE(NextEnabled());
    Click(1192);
    Next();
    ASSERT_EQ(Active(), 230);
    Next();
    ASSERT_EQ(Active(), 231);
    EXPECT_EQ(sheet->GetReturnPage(), -1);
    ThroughBanding("+4", "-5");
    EXPECT_FALSE(NextEnabled());
    Click(1036);  // Yes
    EXPECT_TRUE(NextEnabled());
    Next();
    ASSERT_EQ(Active(), 280);
    EXPECT_FALSE(BackEnabled());
    Next();
    ASSERT_EQ(Active(), 281);
    Next();
    ASSERT_EQ(Active(), 276);
    EXPECT_EQ(Chosen(1217), "0");
    Choose(1217, "+3");
    Next();
    ASSERT_EQ(Active(), 282);
    EXPECT_TRUE(BackEnabled());
    Next();
    ASSERT_EQ(Active(), 283);
    EXPECT_FALSE(NextEnabled());
    Click(1036);
    Next();
    EXPECT_EQ(Active(), 102);
    EXPECT_EQ(sheet->GetReturnPage(), 283);

    // FWD +4, RVS -5: the negatives, RVS first on the wire.
    EXPECT_EQ(Sent(kPlatenCommand),
              (std::vector<Bytes>{{1, 0, 0, 0, 0, 0, 0, 0}, {0, 5, 0xFC, 0, 0, 0, 0, 0}}));
    EXPECT_EQ(Sent(kFeedCommand), (std::vector<Bytes>{{243, 243, 243, 243, 0, 0, 0, 0},
                                                      {246, 246, 246, 246, 0, 0, 0, 0}}));
    EXPECT_EQ(sim.state().platenRolling, (std::array<std::int8_t, 2>{5, -4}));
    ASSERT_TRUE(sim.WaitForJobs(2, 10s));
    const auto jobs = sim.jobs();
    EXPECT_EQ(jobs[0].title, "FEEDING PATTERN(1)");
    EXPECT_EQ(jobs[0].size, 423936u);
    EXPECT_EQ(jobs[1].title, "16inchLine");
    EXPECT_EQ(jobs[1].size, 2129920u);
    EXPECT_TRUE(messages.boxes.empty());
}

// The readings and the bytes they write.
struct Reading {
    const char* fwd;
    const char* rvs;
    Bytes platen;  // value of command 109: operation, RVS, FWD
};

class BandingReadingTest : public PlatenTest, public ::testing::WithParamInterface<Reading> {};

TEST_P(BandingReadingTest, WritesTheNegatives) {
    StartSheet();
    ThroughPreparation();
    ThroughBanding(GetParam().fwd, GetParam().rvs);
    EXPECT_EQ(Sent(kPlatenCommand).back(), GetParam().platen);
}

INSTANTIATE_TEST_SUITE_P(Readings, BandingReadingTest,
                         ::testing::Values(Reading{"0", "0", {0, 0, 0, 0, 0, 0, 0, 0}},
                                           Reading{"+10", "-10", {0, 10, 0xF6, 0, 0, 0, 0, 0}},
                                           Reading{"-1", "+1", {0, 0xFF, 1, 0, 0, 0, 0, 0}}));

class LengthReadingTest : public PlatenTest,
                          public ::testing::WithParamInterface<std::pair<const char*, int>> {};

TEST_P(LengthReadingTest, WritesTheReadingLess13ToAllFourFields) {
    StartSheet();
    Open(280);
    Next();
    Next();
    ASSERT_EQ(Active(), 276);
    Choose(1217, GetParam().first);
    Next();
    ASSERT_EQ(Active(), 282);
    const auto b = static_cast<unsigned char>(GetParam().second);
    EXPECT_EQ(Sent(kFeedCommand).back(), (Bytes{b, b, b, b, 0, 0, 0, 0}));
}

INSTANTIATE_TEST_SUITE_P(Readings, LengthReadingTest,
                         ::testing::Values(std::pair{"0", 243}, std::pair{"+14", 1},
                                           std::pair{"-14", 229}, std::pair{"-1", 242}));

TEST_F(PlatenTest, SelectorsListEveryNumberAndShowZeroOnEveryEntry) {
    StartSheet();
    ThroughPreparation();
    Next();
    auto* fwd = sheet->GetActivePage()->ItemAs<QComboBox>(1165);
    ASSERT_EQ(fwd->count(), 21);
    EXPECT_EQ(fwd->itemText(0), "+10");
    EXPECT_EQ(fwd->itemText(10), "0");
    EXPECT_EQ(fwd->itemText(20), "-10");
    EXPECT_EQ(Chosen(1166), "0");
    Choose(1165, "+2");
    Back();
    ASSERT_EQ(Active(), 231);
    Next();
    EXPECT_EQ(Chosen(1165), "0");

    Open(280);
    Next();
    Next();
    auto* length = sheet->GetActivePage()->ItemAs<QComboBox>(1217);
    ASSERT_EQ(length->count(), 29);
    EXPECT_EQ(length->itemText(0), "+14");
    EXPECT_EQ(length->itemText(14), "0");
    EXPECT_EQ(length->itemText(28), "-14");
}

// Where Back leads from each page entered from the page before it; 0 where
// the page offers no Back.
class BackTest : public PlatenTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(BackTest, LeadsToThePageOfTheFlow) {
    StartSheet(true);
    Open(GetParam().first);
    EXPECT_TRUE(NextEnabled() || GetParam().first == 237 || GetParam().first == 283);
    if (GetParam().second == 0) {
        EXPECT_FALSE(BackEnabled());
        return;
    }
    Back();
    EXPECT_EQ(Active(), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Pages, BackTest,
                         ::testing::Values(std::pair{230, 252}, std::pair{231, 230},
                                           std::pair{233, 231}, std::pair{234, 0},
                                           std::pair{237, 234}, std::pair{280, 0},
                                           std::pair{281, 280}, std::pair{276, 281},
                                           std::pair{282, 276}, std::pair{283, 282}),
                         [](const auto& info) { return std::to_string(info.param.first); });

// Back from the reading step of each phase returns to the confirmation only
// when its "Re-adjust" brought the user there.
struct Loop {
    const char* name;
    int confirmation;
    int reading;
    int printStep;    // where Back leads otherwise
    int restartPage;  // the first page of "Return to Step N"
};

void PrintTo(const Loop& loop, std::ostream* out) {
    *out << loop.name;
}

class LoopTest : public PlatenTest, public ::testing::WithParamInterface<Loop> {
protected:
    void ToConfirmation() {
        if (GetParam().confirmation == 237) {
            ThroughPreparation();
            ThroughBanding("0", "0");
        } else {
            Open(280);
            Next();
            Next();
            Next();
            Next();
        }
        ASSERT_EQ(Active(), GetParam().confirmation);
    }
};

TEST_P(LoopTest, BackFromTheReadingDependsOnHowItWasReached) {
    const Loop& loop = GetParam();
    StartSheet();
    ToConfirmation();
    const auto jobsBefore = sim.jobs().size();

    // "No" offers "Re-adjust", which brings the reading back at "0".
    Click(1021);
    EXPECT_FALSE(NextEnabled());
    EXPECT_TRUE(sheet->GetActivePage()->IsItemVisible(1022));
    EXPECT_FALSE(sheet->GetActivePage()->IsItemVisible(1180));
    Click(1022);
    ASSERT_EQ(Active(), loop.reading);
    EXPECT_EQ(sheet->GetReturnPage(), loop.confirmation);
    Back();
    EXPECT_EQ(Active(), loop.confirmation);
    EXPECT_FALSE(Checked(1036));
    EXPECT_FALSE(Checked(1021));
    EXPECT_FALSE(sheet->GetActivePage()->IsItemVisible(1022));

    // "Return to Step N" runs the phase again; its reading is then reached
    // from the print step, and Back leads there.
    Click(1019);
    ASSERT_EQ(Active(), loop.restartPage);
    Next();
    Next();
    ASSERT_EQ(Active(), loop.reading);
    Back();
    EXPECT_EQ(Active(), loop.printStep);
    EXPECT_TRUE(sim.WaitForJobs(jobsBefore + 1, 10s)) << "no new pattern";
    EXPECT_TRUE(messages.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Phases, LoopTest,
                         ::testing::Values(Loop{"Banding", 237, 233, 231, 230},
                                           Loop{"Length", 283, 276, 281, 280}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlatenTest, ReAdjustWritesOnlyTheNewReading) {
    StartSheet();
    Open(280);
    Next();
    Next();
    Choose(1217, "+5");
    Next();
    Next();
    Click(1021);
    Click(1022);
    ASSERT_EQ(Active(), 276);
    EXPECT_EQ(Chosen(1217), "0");
    Choose(1217, "+2");
    Next();
    EXPECT_EQ(Sent(kFeedCommand).back(), (Bytes{245, 245, 245, 245, 0, 0, 0, 0}));
    EXPECT_EQ(sim.jobs().size(), 1u);
}

// A write refused while the printer is operating: the message names the
// state and its code; the page stays and Next works once the printer is
// ready.
TEST_F(PlatenTest, RefusedWritesOfTheReadingsStay) {
    StartSheet();
    ThroughPreparation();
    Next();
    Choose(1165, "+4");
    sim.AddFault("status:14@109x1");
    Next();
    EXPECT_EQ(Active(), 233);
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(LastMessage(),
              "The printer is operating.\nAfter the operation stops, press \"Next\". (14)");
    Next();
    EXPECT_EQ(Active(), 234);

    Open(280);
    Next();
    Next();
    sim.AddFault("status:16@114x1");
    Next();
    EXPECT_EQ(Active(), 276);
    ASSERT_EQ(messages.boxes.size(), 2u);
    EXPECT_TRUE(LastMessage().ends_with(" (16)"));
}

TEST_F(PlatenTest, TheLengthPhaseHasNoPrintExample) {
    StartSheet(true);
    for (int page : {276, 283}) {
        Open(page);
        EXPECT_EQ(ui::FindControl(sheet->GetActivePage(), 1017), nullptr) << page;
    }
}

TEST_F(PlatenTest, DemoModeRunsThroughWithoutAPrinter) {
    StartSheet(true);
    ThroughPreparation();
    ThroughBanding("+1", "-1");
    Click(1036);
    Next();
    Next();
    Next();
    Next();
    Next();
    Click(1036);
    Next();
    EXPECT_EQ(Active(), 102);
    EXPECT_TRUE(messages.boxes.empty());
    EXPECT_TRUE(sim.requests().empty());
    EXPECT_TRUE(sim.jobs().empty());
}

}  // namespace
