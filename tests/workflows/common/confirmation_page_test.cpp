#include "workflows/common/confirmation_page.h"

#include <QAbstractButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "app/tovik_sheet.h"
#include "tests/app/app_fixture.h"
#include "tests/workflows/settle.h"
#include "workflows/firing/firing_ids.h"

namespace {

using kpm::workflows::ConfirmationLayout;
using kpm::workflows::ConfirmationPage;
using namespace kpm::ids;

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
// The layout of the next confirmation page made (a page table holds plain
// functions, so the page takes it from here).
ConfirmationLayout gLayout;

constexpr Variant kVariants[] = {
    {"with example", IDC_EXAMPLE, ui::kWizBack | ui::kWizNext, ui::kWizBack},
    {"without example", 0, ui::kWizBack | ui::kWizNext, ui::kWizBack},
    {"next only after yes", IDC_EXAMPLE, ui::kWizNext, ui::kWizBack},
};

class ConfirmationPageTest : public testing_support::AppTest {
protected:
    void Build(const Variant& variant) {
        app->SetDemoMode();  // the main page's list, which starts the sheet, fills at once
        ConfirmationLayout layout;
        layout.page = {IDD_FIRE6,
                       {{IDC_FIRE6_CAPTION, IDS_STEP6},
                        {IDC_READJUST, IDS_READJUST},
                        {IDC_RESTART, IDS_RETURN_TO_STEP1}},
                       {IDC_FIRE6_CAPTION},
                       ui::kWizBack};
        layout.nextLine = IDC_FIRE6_CLICK_NEXT;
        layout.example = variant.example;
        layout.returnMarker = IDD_FIRE6;
        layout.reAdjustTarget = IDD_FIRE4;
        layout.restartTarget = IDD_FIRE1;
        layout.yesButtons = variant.yesButtons;
        layout.noButtons = variant.noButtons;
        sheet.reset();
        gLayout = layout;
        static constexpr PageEntry kPages[] = {
            {IDD_FIRE1},
            {IDD_FIRE4},
            {IDD_FIRE6, []() -> ui::PropertyPage* { return new CountingConfirmation(gLayout); }},
        };
        sheet = std::make_unique<CTovikSheet>(messages, kPages);
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
        sheet->SetActivePage(sheet->GetPageIndexByTemplate(IDD_FIRE6));
        ASSERT_TRUE(testing_support::SettleWizardButtons(*sheet, kSettleMs));
    }
    CountingConfirmation* Page() const {
        return dynamic_cast<CountingConfirmation*>(
            sheet->GetPage(sheet->GetPageIndexByTemplate(IDD_FIRE6)));
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
        EXPECT_FALSE(page->IsItemChecked(IDC_YES));
        EXPECT_FALSE(page->IsItemChecked(IDC_NO));
        EXPECT_FALSE(page->IsItemVisible(IDC_READJUST));
        EXPECT_FALSE(page->IsItemVisible(IDC_FIRE6_CLICK_NEXT));
        EXPECT_EQ(page->ItemText(IDC_FIRE6_CAPTION), QStringLiteral("Step 6:"));

        Click(IDC_YES);
        EXPECT_EQ(sheet->WizardButtons(), v.yesButtons);
        EXPECT_TRUE(page->IsItemVisible(IDC_FIRE6_CLICK_NEXT));
        EXPECT_FALSE(page->IsItemVisible(IDC_READJUST));

        Click(IDC_NO);
        EXPECT_EQ(sheet->WizardButtons(), v.noButtons);
        EXPECT_FALSE(page->IsItemVisible(IDC_FIRE6_CLICK_NEXT));
        EXPECT_TRUE(page->IsItemVisible(IDC_READJUST));

        Enter();
        EXPECT_FALSE(page->IsItemChecked(IDC_NO));
        EXPECT_FALSE(page->IsItemVisible(IDC_READJUST));
        EXPECT_EQ(sheet->WizardButtons(), ui::kWizBack);

        Click(IDC_EXAMPLE);
        EXPECT_EQ(Page()->examples, v.example != 0 ? 1 : 0);
    }
}

TEST_F(ConfirmationPageTest, ReAdjustAndRestartSetTheMarkerAndJump) {
    struct Jump {
        int button;
        int target;
    };
    for (const Jump& jump : {Jump{IDC_READJUST, IDD_FIRE4}, Jump{IDC_RESTART, IDD_FIRE1}}) {
        Build(kVariants[0]);
        Click(IDC_NO);
        sheet->SetReturnPage(-1);
        Click(jump.button);
        EXPECT_EQ(Active(), jump.target);
        EXPECT_EQ(sheet->GetReturnPage(), IDD_FIRE6);
    }
}

}  // namespace
