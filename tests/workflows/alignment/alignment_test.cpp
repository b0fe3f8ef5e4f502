// The white/colour alignment from step 1 to the end, against the simulator
// through the private cupsd and in demo mode.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "tests/workflows/adjustment_steps.h"

namespace {

using namespace std::chrono_literals;

constexpr int kResetFirst = 1292;
constexpr int kY = 1039;
constexpr int kX = 1040;
constexpr int kAlignmentCommand = 63;

class AlignmentTest : public testing_support::AdjustmentTest {
protected:
    void SetCurrent(std::int16_t x600, std::int16_t y600) {
        sim.UpdateState([=](kpm::sim::PrinterState& state) {
            state.alignment[kpm::sim::Dpi600] = {x600, y600};
            state.alignment[kpm::sim::Dpi1200] = {static_cast<std::int16_t>(2 * x600),
                                                  static_cast<std::int16_t>(2 * y600)};
        });
    }
};

struct PassCase {
    const char* name;
    bool reset;
    const char* x;
    const char* y;
    kpm::sim::Alignment after600;
    kpm::sim::Alignment after1200;
};

TEST_F(AlignmentTest, APassSendsTheMatrixAndMovesThePrinterByTheOppositeOfTheReading) {
    const PassCase cases[] = {
        {"kept", false, "2", "-3", {3, 6}, {6, 12}},
        {"reset first", true, "2", "-3", {-2, 3}, {-4, 6}},
        {"centre", false, "0", "0", {5, 3}, {10, 6}},
    };
    for (const PassCase& c : cases) {
        SCOPED_TRACE(c.name);
        sheet.reset();
        SetCurrent(5, 3);
        const std::size_t jobsBefore = sim.jobs().size();
        StartSheet();
        Open(138);
        EXPECT_FALSE(Checked(kResetFirst));
        if (c.reset) {
            Click(kResetFirst);
        }
        // The time a technician waits: Next on step 1 until step 2 shows,
        // and until the printer has the whole job.
        const auto start = std::chrono::steady_clock::now();
        sheet->PressNext();
        const auto toStep2 = std::chrono::steady_clock::now() - start;
        ASSERT_EQ(Active(), 139);
        ASSERT_TRUE(sim.WaitForJobs(jobsBefore + 1, 30s));
        const auto toPrinter = std::chrono::steady_clock::now() - start;
        using std::chrono::duration_cast;
        using std::chrono::microseconds;
        std::printf(
            "alignment pattern 214 (%s): step 2 after %.1f ms, job at the printer after "
            "%.1f ms\n",
            c.name, duration_cast<microseconds>(toStep2).count() / 1000.0,
            duration_cast<microseconds>(toPrinter).count() / 1000.0);
        Settle();
        EXPECT_EQ(sim.jobs().back().title, "ALIGN CHK");
        EXPECT_EQ(sim.jobs().back().size, 3305472u);

        Next();
        ASSERT_EQ(Active(), 140);
        Choose(kX, QString::fromLatin1(c.x));
        Choose(kY, QString::fromLatin1(c.y));
        Next();
        ASSERT_EQ(Active(), 141) << "messages: " << messages.boxes.size();
        EXPECT_EQ(sim.state().alignment[kpm::sim::Dpi600], c.after600);
        EXPECT_EQ(sim.state().alignment[kpm::sim::Dpi1200], c.after1200);
        EXPECT_EQ(sheet->WizardButtons(), ui::kWizNext);
        Next();
        ASSERT_EQ(Active(), 142);
        EXPECT_FALSE(NextEnabled());
        ConfirmYes();
        EXPECT_EQ(Active(), kpm::ids::IDD_MAIN);
        EXPECT_TRUE(messages.boxes.empty());
    }
}

struct RangeCase {
    std::int16_t current;
    const char* x;
    bool passes;
};

TEST_F(AlignmentTest, TheResultingXMustStayInTheAdjustableRange) {
    const RangeCase cases[] = {
        {60, "-6", false}, {-60, "6", false}, {60, "-3", true},
        {-60, "-6", true}, {0, "6", true},    {0, "-6", true},
    };
    StartSheet();
    for (const RangeCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.current) + " with X " + c.x);
        messages.boxes.clear();
        SetCurrent(c.current, 0);
        sim.ClearRequests();
        Open(140);
        Choose(kX, QString::fromLatin1(c.x));
        Next();
        if (c.passes) {
            EXPECT_EQ(Active(), 141);
            EXPECT_EQ(Sent(kAlignmentCommand).size(), 2u);  // both resolutions
            EXPECT_TRUE(messages.boxes.empty());
            continue;
        }
        EXPECT_EQ(Active(), 140);
        EXPECT_TRUE(Sent(kAlignmentCommand).empty()) << "nothing written";
        ASSERT_EQ(messages.boxes.size(), 1u);
        EXPECT_EQ(messages.boxes[0].icon, ui::MessageIcon::Stop);
        EXPECT_TRUE(messages.boxes[0].text.startsWith(
            QStringLiteral("The X value is beyond the adjustable range.")));
        EXPECT_EQ(sim.state().alignment[kpm::sim::Dpi600].x, c.current);
    }
}

TEST_F(AlignmentTest, BackOnStepThreeAndTheSelectorsFollowTheWayIn) {
    StartSheet(true);
    Open(138);
    Click(kResetFirst);
    Next();
    Next();
    ASSERT_EQ(Active(), 140);
    EXPECT_EQ(Chosen(kX), QStringLiteral("0"));
    Back();
    EXPECT_EQ(Active(), 139);
    Next();
    Choose(kX, QStringLiteral("3"));
    Choose(kY, QStringLiteral("-2"));
    Next();
    Next();
    ASSERT_EQ(Active(), 142);
    Click(1021);
    Click(1022);  // "Re-adjust"
    ASSERT_EQ(Active(), 140);
    EXPECT_EQ(Chosen(kX), QStringLiteral("0"));
    EXPECT_EQ(Chosen(kY), QStringLiteral("0"));
    Back();
    ASSERT_EQ(Active(), 142);
    Click(1019);  // "Return to Step 1": a new pass
    ASSERT_EQ(Active(), 138);
    EXPECT_TRUE(Checked(kResetFirst)) << "the user's choice is kept";
    Next();
    Next();
    ASSERT_EQ(Active(), 140);
    Back();
    EXPECT_EQ(Active(), 139);
    // Demo mode runs through to the end without a printer.
    Next();
    Next();
    Next();
    ASSERT_EQ(Active(), 142);
    ConfirmYes();
    EXPECT_EQ(Active(), kpm::ids::IDD_MAIN);
    EXPECT_TRUE(messages.boxes.empty());
}

}  // namespace
