// The firing adjustment from step 1 to the end, against the simulator
// through the private cupsd and in demo mode.
#include <QProgressBar>
#include <QTimer>

#include <gtest/gtest.h>

#include <array>
#include <chrono>

#include "tests/workflows/adjustment_steps.h"
#include "workflows/firing/fire1_page.h"

namespace {

using namespace std::chrono_literals;
using Firing = std::array<std::int8_t, 4>;

constexpr int kColour1200 = 1008;
constexpr int kWhite1200 = 1009;
constexpr int kColour600 = 1006;
constexpr int kKSelector = 1013;

class FiringTest : public testing_support::AdjustmentTest {
protected:
    void Begin(bool demo, int setupMode, bool whiteHeads) {
        environment.WriteSetup("SetupMode=" + std::to_string(setupMode) + "\n");
        StartSheet(demo);
        sheet->SetHasWhiteHeads(whiteHeads ? 1 : 0);
        Open(129);
    }
    // Steps 1 to 6 with `radio` and step 4's choice, ending with "Yes".
    void RunPass(int radio, const QString& choice) {
        ASSERT_EQ(Active(), 129);
        Click(radio);
        Next();
        ASSERT_EQ(Active(), 130);
        Next();
        ASSERT_EQ(Active(), 131) << "messages: " << messages.boxes.size();
        Next();
        ASSERT_EQ(Active(), 132);
        Choose(kKSelector, choice);
        Next();
        ASSERT_EQ(Active(), 133);
        EXPECT_EQ(sheet->WizardButtons(), ui::kWizNext);
        Next();
        ASSERT_EQ(Active(), 134);
        EXPECT_FALSE(NextEnabled());
        ConfirmYes();
    }
};

struct PassCase {
    const char* name;
    int setupMode;
    int radio;
    const char* choice;
    std::size_t resolution;  // kpm::sim::Dpi600 / Dpi1200
    std::size_t head;
    Firing written;  // in wire order, position K first
    const char* title;
    std::uint64_t size;
    const char* kLabel;
};

TEST_F(FiringTest, APassResetsTheHeadsSendsTheirPatternAndWritesTheChoiceOnK) {
    const PassCase cases[] = {
        {"colour 1200 dpi",
         0,
         kColour1200,
         "1",
         kpm::sim::Dpi1200,
         kpm::sim::ColorHead,
         {-8, 0, 0, 0},
         "FIRING CHK COLOR",
         473088,
         "CMYK (1 - 9)"},
        {"colour 600 dpi",
         1,
         kColour600,
         "1",
         kpm::sim::Dpi600,
         kpm::sim::ColorHead,
         {-4, 0, 0, 0},
         "FIRING CHK COLOR",
         473088,
         "CMYK (1 - 9)"},
        {"white 1200 dpi",
         0,
         kWhite1200,
         "1",
         kpm::sim::Dpi1200,
         kpm::sim::WhiteHead,
         {8, 0, 0, 0},
         "FIRING CHK WHITE",
         477184,
         "W (1 - 9)"},
        {"colour 1200 dpi, 9",
         0,
         kColour1200,
         "9",
         kpm::sim::Dpi1200,
         kpm::sim::ColorHead,
         {8, 0, 0, 0},
         "FIRING CHK COLOR",
         473088,
         "CMYK (1 - 9)"},
    };
    for (const PassCase& c : cases) {
        SCOPED_TRACE(c.name);
        sheet.reset();
        sim.UpdateState([](kpm::sim::PrinterState& state) {
            for (auto& resolution : state.firing) {
                resolution = {Firing{3, 3, 3, 3}, Firing{3, 3, 3, 3}};
            }
        });
        sim.ClearRequests();
        const std::size_t jobsBefore = sim.jobs().size();
        Begin(false, c.setupMode, true);

        Click(c.radio);
        Next();
        Next();
        ASSERT_EQ(Active(), 131);
        ASSERT_TRUE(sim.WaitForJobs(jobsBefore + 1, 20s));
        const auto job = sim.jobs().back();
        EXPECT_EQ(job.title, c.title);
        EXPECT_EQ(job.size, c.size);
        // The reset of the combination's heads came before the job.
        const auto firing = Sent(46);
        ASSERT_EQ(firing.size(), 1u);
        EXPECT_EQ(firing[0][1], c.head);
        EXPECT_EQ(firing[0][2], 1) << "a reset";

        Next();
        ASSERT_EQ(Active(), 132);
        EXPECT_EQ(Text(1032), QString::fromLatin1(c.kLabel));
        EXPECT_FALSE(Visible(1014));
        Choose(kKSelector, QString::fromLatin1(c.choice));
        Next();
        ASSERT_EQ(Active(), 133);
        EXPECT_EQ(sim.state().firing[c.resolution][c.head], c.written);
        EXPECT_TRUE(messages.boxes.empty());
    }
}

struct PrinterCase {
    const char* name;
    int setupMode;
    bool whiteHeads;
    std::vector<int> order;  // the radios preselected pass by pass
};

// Passes in demo mode: which rows step 1 offers, which combination it
// preselects next, and that the chain ends after the last needed one.
TEST_F(FiringTest, StepOneOffersThePrintersCombinationsAndCompletesAfterTheLast) {
    const PrinterCase cases[] = {
        {"white heads, 1200 dpi only", 0, true, {kColour1200, kWhite1200}},
        {"no white heads, 1200 dpi only", 0, false, {kColour1200}},
        {"no white heads, 600 dpi mode", 1, false, {kColour1200, kColour600}},
        {"white heads, 600 dpi mode", 1, true, {kColour1200, kWhite1200, kColour600}},
    };
    for (const PrinterCase& c : cases) {
        SCOPED_TRACE(c.name);
        sheet.reset();
        messages.boxes.clear();
        Begin(true, c.setupMode, c.whiteHeads);
        EXPECT_EQ(sheet->GetPage(1)->IsItemEnabled(kWhite1200), c.whiteHeads);
        EXPECT_EQ(Visible(1027), c.whiteHeads);
        EXPECT_EQ(Visible(1113), c.setupMode == 1);
        EXPECT_EQ(Visible(kColour600), c.setupMode == 1);
        EXPECT_FALSE(Visible(1007));
        EXPECT_FALSE(Visible(1029));
        for (std::size_t pass = 0; pass < c.order.size(); ++pass) {
            ASSERT_EQ(Active(), 129) << "pass " << pass;
            EXPECT_TRUE(Checked(c.order[pass])) << "pass " << pass;
            EXPECT_EQ(Text(1026), pass == 0 ? QStringLiteral("Not Done") : QStringLiteral("Done"));
            RunPass(c.order[pass], QStringLiteral("5"));
            EXPECT_EQ(messages.boxes.empty(), pass + 1 < c.order.size());
        }
        ASSERT_EQ(Active(), kpm::ids::IDD_MAIN);
        ASSERT_EQ(messages.boxes.size(), 1u);
        EXPECT_EQ(
            messages.boxes[0].text,
            QStringLiteral(
                "All combinations of firing adjustment are done.\nGo back to the Main Menu."));
        // Entering again: the flags stay, code 0 is preselected.
        Open(129);
        EXPECT_EQ(Text(1026), QStringLiteral("Done"));
        EXPECT_TRUE(Checked(kColour1200));
    }
}

TEST_F(FiringTest, BackKeepsOrRechoosesAsTheWayInSays) {
    Begin(true, 0, true);
    Click(kWhite1200);
    Next();
    Back();  // from step 2: the choice stays
    ASSERT_EQ(Active(), 129);
    EXPECT_TRUE(Checked(kWhite1200));
    Back();
    EXPECT_EQ(Active(), kpm::ids::IDD_MAIN);
    Open(129);  // from the main page: the default again
    EXPECT_TRUE(Checked(kColour1200));
    EXPECT_FALSE(Checked(kWhite1200));

    // Step 4 after step 3 goes back to step 3; after "Re-adjust" to step 6.
    Next();
    Next();
    Next();
    ASSERT_EQ(Active(), 132);
    Back();
    EXPECT_EQ(Active(), 131);
    Next();
    Choose(kKSelector, QStringLiteral("3"));
    Next();
    Next();
    ASSERT_EQ(Active(), 134);
    Click(1021);
    EXPECT_TRUE(Visible(1022));
    EXPECT_FALSE(Visible(1090));
    Click(1022);
    ASSERT_EQ(Active(), 132);
    EXPECT_EQ(Chosen(kKSelector), QStringLiteral("5"));
    Back();
    ASSERT_EQ(Active(), 134);
    // "Return to Step 1" keeps the combination; Back there returns to step 6.
    Click(1019);
    ASSERT_EQ(Active(), 129);
    EXPECT_TRUE(Checked(kColour1200));
    Back();
    EXPECT_EQ(Active(), 134);
}

TEST_F(FiringTest, AFailingResetSendsNoPatternAndStays) {
    Begin(false, 0, true);
    sheet->m_bFiringDone[0] = 1;
    sim.AddFault("status:14@46");
    Next();
    Next();
    EXPECT_EQ(Active(), 130);
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_TRUE(messages.boxes[0].text.endsWith(QStringLiteral(" (14)")))
        << messages.boxes[0].text.toStdString();
    EXPECT_FALSE(sim.WaitForJobs(1, 1500ms));
    EXPECT_EQ(sheet->m_bFiringDone[0], 0);
}

TEST_F(FiringTest, TheWindowKeepsPaintingWhileASilentPrinterIsWaitedOn) {
    Begin(false, 0, true);
    Next();
    sim.AddFault("silence");
    int ticks = 0;
    bool busyShown = false;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        ++ticks;
        busyShown = busyShown || sheet->BusyIndicator()->isVisible();
        sheet->PressNext();  // an impatient user: ignored while waiting
    });
    ticker.start(100);
    const auto start = std::chrono::steady_clock::now();
    sheet->PressNext();
    ticker.stop();
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GT(waited, 2s);
    EXPECT_GE(ticks, 15);
    EXPECT_TRUE(busyShown);
    EXPECT_EQ(Active(), 130);
    EXPECT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(Sent(46).size(), 1u);  // the second press never reached the printer
    EXPECT_FALSE(sim.WaitForJobs(1, 500ms));
}

}  // namespace
