// The platen-rolling adjustment on a simulated printer through the private
// cupsd: what each step sends, where Next and Back lead, and what the user
// is told when the printer refuses.
#include <QAbstractButton>
#include <QCheckBox>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <vector>

#include "tests/workflows/workflow_fixture.h"

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<unsigned char>;

constexpr std::uint16_t kPlatenCommand = 109;
constexpr std::uint16_t kFeedCommand = 114;

class PlatenTest : public testing_support::WorkflowTest {
protected:
    // The values of every request command with `code`, in order.
    std::vector<Bytes> Sent(std::uint16_t code) const {
        std::vector<Bytes> values;
        for (const auto& request : sim.requests()) {
            for (const auto& command : request.commands) {
                if (command.code == code) {
                    values.push_back(command.data);
                }
            }
        }
        return values;
    }
    // Clicks a button, radio or check box of the active page as the user would.
    void Click(int control) {
        auto* button = sheet->GetActivePage()->ItemAs<QAbstractButton>(control);
        ASSERT_NE(button, nullptr) << "no control " << control << " on " << Active();
        QTest::mouseClick(button, Qt::LeftButton);
        Settle();
    }
    bool Checked(int control) const { return sheet->GetActivePage()->IsItemChecked(control); }
    // Steps 1 and 2 from the main page: the box set, the pattern sent.
    void ThroughPreparation() {
        Open(252);
        Click(1192);
        Next();
        ASSERT_EQ(Active(), 230);
        Next();
        ASSERT_EQ(Active(), 231);
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

TEST_F(PlatenTest, Step2ResetsThenSendsTheFeedingPattern) {
    StartSheet();
    ThroughPreparation();
    EXPECT_EQ(Sent(kPlatenCommand), (std::vector<Bytes>{{1, 0, 0, 0, 0, 0, 0, 0}}));
    ASSERT_TRUE(sim.WaitForJobs(1, 10s));
    EXPECT_EQ(sim.jobs()[0].title, "FEEDING PATTERN(1)");
    EXPECT_EQ(sim.jobs()[0].size, 423936u);
    EXPECT_TRUE(messages.boxes.empty());
    Back();
    EXPECT_EQ(Active(), 230);
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

TEST_F(PlatenTest, Step7WritesTheNeutralFeedThenSendsTheLineWithoutBack) {
    StartSheet();
    Open(280);
    EXPECT_FALSE(BackEnabled());
    EXPECT_TRUE(NextEnabled());
    Next();
    ASSERT_EQ(Active(), 281);
    EXPECT_EQ(Sent(kFeedCommand), (std::vector<Bytes>{{243, 243, 243, 243, 0, 0, 0, 0}}));
    ASSERT_TRUE(sim.WaitForJobs(1, 10s));
    EXPECT_EQ(sim.jobs()[0].title, "16inchLine");
    EXPECT_EQ(sim.jobs()[0].size, 2129920u);
    EXPECT_TRUE(BackEnabled());
    Back();
    EXPECT_EQ(Active(), 280);
}

}  // namespace
