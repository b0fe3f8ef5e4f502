#include "workflows/common/confirmation_page.h"

#include <QAbstractButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "app/tovik_sheet.h"
#include "tests/app/app_fixture.h"
#include "tests/workflows/settle.h"

namespace {

using kpm::workflows::ConfirmationLayout;
using kpm::workflows::ConfirmationPage;

constexpr int kSettleMs = 80;

class CountingConfirmation : public ConfirmationPage {
public:
    using ConfirmationPage::ConfirmationPage;
    int examples = 0;

protected:
    void OpenExample() override { ++examples; }
};

// The variants the adjustment procedures use.
struct Variant {
    const char* name;
    int example;
    int yesButtons;
    int noButtons;
};
constexpr Variant kVariants[] = {
    {"with example", 1017, ui::kWizBack | ui::kWizNext, ui::kWizBack},
    {"without example", 0, ui::kWizBack | ui::kWizNext, ui::kWizBack},
    {"next only after yes", 1017, ui::kWizNext, ui::kWizBack},
};

class ConfirmationPageTest : public testing_support::AppTest {
protected:
    void Build(const Variant& variant) {
        app->SetDemoMode();  // the main page's list, which starts the sheet, fills at once
        ConfirmationLayout layout;
        layout.page = {134, {{1088, 197}, {1022, 129}, {1019, 159}}, {1088}, ui::kWizBack};
        layout.nextLine = 1090;
        layout.example = variant.example;
        layout.returnMarker = 134;
        layout.reAdjustTarget = 132;
        layout.restartTarget = 129;
        layout.yesButtons = variant.yesButtons;
        layout.noButtons = variant.noButtons;
        sheet.reset();
        sheet = std::make_unique<CTovikSheet>(messages, [layout](int id) -> ui::PropertyPage* {
            return id == 134 ? new CountingConfirmation(layout) : nullptr;
        });
        sheet->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet.get()));
        // Past the main page's own buttons.
        ASSERT_TRUE(testing_support::SettleWizardButtons(*sheet, kSettleMs));
        Enter();
    }
    void TearDown() override {
        sheet.reset();
        AppTest::TearDown();
    }
    void Enter() {
        sheet->SetActivePage(sheet->GetPageIndexByTemplate(134));
        ASSERT_TRUE(testing_support::SettleWizardButtons(*sheet, kSettleMs));
    }
    CountingConfirmation* Page() const {
        return dynamic_cast<CountingConfirmation*>(
            sheet->GetPage(sheet->GetPageIndexByTemplate(134)));
    }
    void Click(int id) {
        auto* button = Page()->ItemAs<QAbstractButton>(id);
        ASSERT_NE(button, nullptr) << id;
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_TRUE(testing_support::SettleWizardButtons(*sheet, kSettleMs));
    }
    int Active() const { return sheet->GetActivePage()->TemplateId(); }

    std::unique_ptr<CTovikSheet> sheet;
};

TEST_F(ConfirmationPageTest, AnswersDecideTheButtonsAndLinesAndNeverCarryOver) {
    for (const Variant& v : kVariants) {
        SCOPED_TRACE(v.name);
        Build(v);
        ConfirmationPage* page = Page();
        EXPECT_EQ(sheet->WizardButtons(), ui::kWizBack);
        EXPECT_FALSE(page->IsItemChecked(1036));
        EXPECT_FALSE(page->IsItemChecked(1021));
        EXPECT_FALSE(page->IsItemVisible(1022));
        EXPECT_FALSE(page->IsItemVisible(1090));
        EXPECT_EQ(page->ItemText(1088), QStringLiteral("Step 6:"));

        Click(1036);
        EXPECT_EQ(sheet->WizardButtons(), v.yesButtons);
        EXPECT_TRUE(page->IsItemVisible(1090));
        EXPECT_FALSE(page->IsItemVisible(1022));

        Click(1021);
        EXPECT_EQ(sheet->WizardButtons(), v.noButtons);
        EXPECT_FALSE(page->IsItemVisible(1090));
        EXPECT_TRUE(page->IsItemVisible(1022));

        Enter();
        EXPECT_FALSE(page->IsItemChecked(1021));
        EXPECT_FALSE(page->IsItemVisible(1022));
        EXPECT_EQ(sheet->WizardButtons(), ui::kWizBack);

        Click(1017);
        EXPECT_EQ(Page()->examples, v.example != 0 ? 1 : 0);
    }
}

TEST_F(ConfirmationPageTest, ReAdjustAndRestartSetTheMarkerAndJump) {
    struct Jump {
        int button;
        int target;
    };
    for (const Jump& jump : {Jump{1022, 132}, Jump{1019, 129}}) {
        Build(kVariants[0]);
        Click(1021);
        sheet->SetReturnPage(-1);
        Click(jump.button);
        EXPECT_EQ(Active(), jump.target);
        EXPECT_EQ(sheet->GetReturnPage(), 134);
    }
}

}  // namespace
