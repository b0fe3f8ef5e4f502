#include "app/main_page.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "tests/app/app_fixture.h"

using testing_support::AppTest;

namespace {

class MainPageTest : public AppTest {
protected:
    void Start(std::uint16_t language = 1033) {
        MakeApp(language);
        sheet = std::make_unique<CTovikSheet>(messages);
        sheet->show();
        page = static_cast<CMainPage*>(sheet->GetPage(0));
        QTest::qWait(80);  // the deferred buttons
    }
    void TearDown() override {
        sheet.reset();
        AppTest::TearDown();
    }
    QComboBox* List() const { return page->ItemAs<QComboBox>(1001); }

    std::unique_ptr<CTovikSheet> sheet;
    CMainPage* page = nullptr;
};

}  // namespace

TEST_F(MainPageTest, TextsFontsAndTheInitialChoice) {
    Start();
    EXPECT_EQ(page->ItemText(1044), QStringLiteral("Select the printer."));
    EXPECT_EQ(page->ItemText(1005), QStringLiteral("Set an IP Adrress"));
    EXPECT_EQ(page->Item(1045)->font().weight(), QFont::DemiBold);
    EXPECT_LT(page->Item(1142)->font().pointSizeF(), page->Item(1043)->font().pointSizeF());
    EXPECT_TRUE(page->IsItemChecked(1141));
    EXPECT_TRUE(page->IsItemChecked(1110));
    EXPECT_FALSE(page->IsItemVisible(1110));
    EXPECT_FALSE(page->IsItemVisible(1109));
    EXPECT_TRUE(page->IsItemEnabled(1025));
    EXPECT_EQ(sheet->Button(ui::WizardButton::Cancel)->text(), QStringLiteral("Close"));
    // No printer outside demo mode (yet): Next stays disabled.
    EXPECT_EQ(List()->count(), 0);
    EXPECT_FALSE(sheet->Button(ui::WizardButton::Next)->isEnabled());
    EXPECT_EQ(page->Item(1142)->accessibleName(), QString());
    EXPECT_EQ(page->Item(1141)->accessibleDescription(), page->ItemText(1142));
}

TEST_F(MainPageTest, TextsInTheChosenLanguage) {
    Start(1041);
    QString japanese;
    LoadText(108, japanese);
    EXPECT_EQ(page->ItemText(1044), japanese);
    EXPECT_NE(japanese, QStringLiteral("Select the printer."));
}

TEST_F(MainPageTest, ModelWithoutWhiteHeadsCannotAlign) {
    Start();
    page->CheckItem(1025, true);
    page->ItemAs<QAbstractButton>(1109)->click();  // hidden, so not by mouse
    EXPECT_FALSE(page->IsItemEnabled(1025));
    EXPECT_FALSE(page->IsItemEnabled(1047));
    EXPECT_TRUE(page->IsItemChecked(1024));
}

TEST_F(MainPageTest, CtrlShiftSearchSwitchesToDemoModeForGood) {
    Start();
    QTest::mouseClick(page->Item(1002), Qt::LeftButton);  // plain Search
    EXPECT_EQ(app->IsDemoMode(), 0);
    QTest::mouseClick(page->Item(1002), Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(app->IsDemoMode(), 1);
    ASSERT_EQ(List()->count(), 1);
    EXPECT_EQ(List()->currentText(), QStringLiteral("Virtual printer"));
    EXPECT_TRUE(sheet->Button(ui::WizardButton::Next)->isEnabled());
    // A USB printer (address 0) may take the IP address task.
    EXPECT_TRUE(page->IsItemEnabled(1005));
}

TEST_F(MainPageTest, NextStoresThePrinterAndRoutesByTask) {
    Start();
    app->SetDemoMode();
    page->RebuildPrinterList();
    sheet->SetWizardButtons(ui::kWizNext);
    sheet->m_bFiringDone = {1, 1, 0, 0};

    const std::pair<int, int> routes[] = {{1141, 228}, {1024, 129}, {1153, 252}, {1025, 138},
                                          {1005, 307}, {1006, 201}, {1007, 309}, {1008, 310}};
    for (const auto& [radio, target] : routes) {
        SCOPED_TRACE(radio);
        sheet->SetActivePage(0);
        page->CheckItem(radio, true);
        sheet->SetWizardButtons(ui::kWizNext);
        sheet->PressNext();
        EXPECT_EQ(sheet->GetActivePage()->TemplateId(), target);
        EXPECT_EQ(sheet->GetReturnPage(), 102);
        EXPECT_EQ(sheet->Button(ui::WizardButton::Cancel)->text(), QStringLiteral("Cancel"));
        // The plain pages lead back to the main page.
        sheet->SetWizardButtons(ui::kWizBack);
        sheet->PressBack();
        EXPECT_EQ(sheet->GetActiveIndex(), 0);
    }
    EXPECT_EQ(sheet->GetPrinterName(), QStringLiteral("Virtual printer"));
    EXPECT_EQ(sheet->GetHasWhiteHeads(), 1);
    // The first Next chose a new printer and cleared the progress; the same
    // printer again keeps it.
    EXPECT_EQ(sheet->m_bFiringDone, (std::array<int, 4>{0, 0, 0, 0}));
    sheet->m_bFiringDone = {1, 0, 0, 0};
    sheet->SetWizardButtons(ui::kWizNext);
    sheet->PressNext();
    EXPECT_EQ(sheet->m_bFiringDone, (std::array<int, 4>{1, 0, 0, 0}));

    // No task selected: firing.
    sheet->SetActivePage(0);
    for (const auto& route : routes) {
        page->CheckItem(route.first, false);
    }
    EXPECT_EQ(page->OnWizardNext(), 129);
}
