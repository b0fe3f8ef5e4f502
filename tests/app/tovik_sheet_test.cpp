#include "app/tovik_sheet.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>

#include "app/about_dlg.h"
#include "app/main_page.h"
#include "app/texts.h"
#include "tests/app/app_fixture.h"
#include "ui/property_page.h"

using testing_support::AppTest;

namespace {

class SheetTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        sheet = std::make_unique<CTovikSheet>(messages);
    }
    void TearDown() override {
        sheet.reset();
        AppTest::TearDown();
    }
    // Shows the sheet and lets the main page finish its search, which sets
    // the buttons when it ends.
    void ShowSettled() {
        sheet->show();
        auto* main = static_cast<CMainPage*>(sheet->GetPage(0));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !main->IsSearching(); }, 20000));
        QTest::qWait(80);
    }
    std::unique_ptr<CTovikSheet> sheet;
};

}  // namespace

TEST_F(SheetTest, InitialState) {
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("KPMRuze Diziririrod"));
    EXPECT_FALSE(sheet->windowIcon().isNull());
    EXPECT_EQ(sheet->m_nColorVRating, 2);
    EXPECT_EQ(sheet->m_nWhiteVRating, 2);
    EXPECT_EQ(sheet->m_strHostName, QStringLiteral("ZEDora"));
    EXPECT_EQ(sheet->m_dwIpAddress, 0xC0A80000u);
    EXPECT_EQ(sheet->m_dwSubnetMask, 0xFFFFFF00u);
    EXPECT_EQ(sheet->m_dwGateway, 0xC0A800FEu);
    EXPECT_EQ(sheet->GetHasWhiteHeads(), 1);
    EXPECT_EQ(sheet->GetReturnPage(), -1);
    EXPECT_EQ(sheet->GetPrinterAddress(), 0);
    EXPECT_TRUE(sheet->GetPrinterName().isEmpty());
    EXPECT_EQ(sheet->m_nScheduleCount, 0);
    EXPECT_FALSE(sheet->Fonts().IsCreated());
}

TEST_F(SheetTest, DeferredButtonsShowTheNeutralStateFirst) {
    ShowSettled();
    auto* back = sheet->Button(ui::WizardButton::Back);
    auto* next = sheet->Button(ui::WizardButton::Next);
    auto* finish = sheet->Button(ui::WizardButton::Finish);

    sheet->SetWizardButtons(ui::kWizBack | ui::kWizNext);
    const auto start = std::chrono::steady_clock::now();
    sheet->SetWizardButtonsDeferred(3);
    QCoreApplication::processEvents();
    EXPECT_FALSE(back->isEnabled());
    EXPECT_FALSE(next->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return next->isEnabled(); }, 2000));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(45));
    EXPECT_TRUE(back->isEnabled());
    EXPECT_FALSE(sheet->IsTimerRunning(3));  // fired once, then killed

    sheet->SetWizardButtonsDeferred(4);
    QCoreApplication::processEvents();
    EXPECT_FALSE(finish->isHidden());
    EXPECT_FALSE(finish->isEnabled());
    EXPECT_TRUE(next->isHidden());
    ASSERT_TRUE(QTest::qWaitFor([&] { return finish->isEnabled(); }, 2000));
    EXPECT_FALSE(back->isEnabled());

    // Two requests in a row: the later one decides, each after its 50 ms.
    sheet->SetWizardButtonsDeferred(1);
    sheet->SetWizardButtonsDeferred(2);
    QTest::qWait(150);
    EXPECT_EQ(sheet->WizardButtons() & (ui::kWizBack | ui::kWizNext), ui::kWizNext);
    EXPECT_TRUE(next->isEnabled());
}

TEST_F(SheetTest, CancelTextFromTheStringTable) {
    sheet->SetCancelButtonText(201);
    EXPECT_EQ(sheet->Button(ui::WizardButton::Cancel)->text(), QStringLiteral("Cancel"));
    sheet->SetCancelButtonText(200);
    EXPECT_EQ(sheet->Button(ui::WizardButton::Cancel)->text(), QStringLiteral("Close"));
    sheet->SetCancelButtonText(391 + 1000);  // no text: unchanged
    EXPECT_EQ(sheet->Button(ui::WizardButton::Cancel)->text(), QStringLiteral("Close"));
}

TEST_F(SheetTest, FiringCompleteness) {
    auto complete = [&](std::array<int, 4> done) {
        sheet->m_bFiringDone = done;
        return sheet->IsFiringComplete();
    };
    environment.RemoveSetup();
    EXPECT_FALSE(complete({1, 0, 1, 1}));
    EXPECT_TRUE(complete({1, 1, 0, 0}));
    EXPECT_FALSE(complete({0, 1, 1, 1}));
    sheet->SetHasWhiteHeads(0);
    EXPECT_TRUE(complete({1, 0, 0, 0}));
    sheet->SetHasWhiteHeads(1);

    environment.WriteSetup("SetupMode=1\n");
    EXPECT_EQ(sheet->GetSetupMode(), 1);
    EXPECT_FALSE(complete({1, 1, 0, 1}));
    EXPECT_TRUE(complete({1, 1, 1, 0}));
    EXPECT_TRUE(complete({1, 1, 1, 1}));
    environment.WriteSetup("SetupMode=2\n");  // bit 0 off
    EXPECT_TRUE(complete({1, 1, 0, 0}));
    environment.WriteSetup("SetupMode=one\n");  // another type
    EXPECT_EQ(sheet->GetSetupMode(), 0);
}

TEST_F(SheetTest, ProgressFlags) {
    sheet->SetFiringCombination(3);
    EXPECT_TRUE(sheet->IsWhiteCombination());
    sheet->MarkFiringDone();
    sheet->SetFiringCombination(1);
    EXPECT_TRUE(sheet->IsWhiteCombination());
    sheet->SetFiringCombination(2);
    EXPECT_FALSE(sheet->IsWhiteCombination());
    sheet->MarkFiringDone();
    sheet->SetSelectedHead(1);
    sheet->MarkHeadSettingDone();
    EXPECT_EQ(sheet->m_bFiringDone, (std::array<int, 4>{0, 0, 1, 1}));
    EXPECT_EQ(sheet->m_bHeadSettingDone, (std::array<int, 2>{0, 1}));
    sheet->SetFiringCombination(7);  // out of range: nothing is written
    sheet->MarkFiringDone();
    sheet->ClearProgress();
    EXPECT_EQ(sheet->m_bFiringDone, (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(sheet->m_bHeadSettingDone, (std::array<int, 2>{0, 0}));
}

TEST_F(SheetTest, FontsAreMadeOnceFromTheFirstControl) {
    QLabel nine(QStringLiteral("nine"));
    QFont f = nine.font();
    f.setPointSize(9);
    nine.setFont(f);
    QLabel twenty(QStringLiteral("twenty"));
    f.setPointSize(20);
    twenty.setFont(f);

    sheet->SetBoldFont(&nine);
    EXPECT_EQ(nine.font().pointSize(), 9);
    EXPECT_EQ(nine.font().weight(), QFont::DemiBold);
    sheet->SetSmallFont(&twenty);
    EXPECT_EQ(twenty.font().pointSize(), 8);
    sheet->SetLargeBoldFont(&twenty);
    EXPECT_EQ(twenty.font().pointSize(), 12);
    EXPECT_EQ(twenty.font().weight(), QFont::DemiBold);
    EXPECT_EQ(sheet->Fonts().SmallFont().weight(), QFont::Normal);
}

TEST(FontSize, PixelSizesKeepTheirSign) {
    CFontSize fonts;
    QLabel label;
    QFont f = label.font();
    f.setPixelSize(12);  // logical height -12
    label.setFont(f);
    EXPECT_EQ(CFontSize::LogicalHeight(f), -12);
    fonts.SetSmallFont(&label);
    EXPECT_EQ(fonts.SmallFont().pixelSize(), 11);
    EXPECT_EQ(fonts.LargeBoldFont().pixelSize(), 15);
    EXPECT_EQ(fonts.BoldFont().pixelSize(), 12);
}

TEST_F(SheetTest, AboutEntryOpensTheAboutBox) {
    sheet->show();
    QMenu* menu = sheet->SystemMenu();
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions()[1]->text(), QStringLiteral("About KPMRuze Diziririrod(&A)..."));
    EXPECT_EQ(menu->actions()[1]->data().toInt(), 16);

    QString version;
    messages.onModal = [&](QDialog& dialog) {
        version = dialog.findChild<QLabel*>(QStringLiteral("ctl_1049"))->text();
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("KPMRuze Diziririrod"));
        EXPECT_FALSE(dialog.findChild<QLabel*>(QStringLiteral("ctl_1244"))->pixmap().isNull());
        return ui::kIdOk;
    };
    menu->actions()[1]->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !messages.dialogs.empty(); }, 2000));
    EXPECT_EQ(messages.dialogs, std::vector<QString>{QStringLiteral("dialog_100")});
    EXPECT_EQ(version, QStringLiteral("KPMRuze Diziririrod  Version 2.0.0"));
}

TEST_F(SheetTest, AnEmptyAboutTextLeavesTheMenuEmpty) {
    // No language has an empty 101, so use a language without any table.
    sheet.reset();
    MakeApp(1234);
    sheet = std::make_unique<CTovikSheet>(messages);
    sheet->show();
    EXPECT_TRUE(sheet->SystemMenu()->actions().isEmpty());
}

TEST(AboutBox, BannerScalesWithTheScreensDpi) {
    EXPECT_EQ(CAboutDlg::ScaledBannerSize(QSize(360, 72), 96), QSize(360, 72));
    EXPECT_EQ(CAboutDlg::ScaledBannerSize(QSize(360, 72), 144), QSize(540, 108));
    EXPECT_EQ(CAboutDlg::ScaledBannerSize(QSize(361, 73), 120), QSize(451, 91));  // toward zero
}
