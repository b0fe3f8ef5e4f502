#include "ui/property_sheet.h"

#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/recording_message_service.h"
#include "ui/property_page.h"

namespace {

// A page that logs its handlers and returns what the test asks for.
class ScriptedPage : public ui::PropertyPage {
public:
    ScriptedPage(int templateId, std::vector<std::string>& log)
        : PropertyPage(templateId), log_(log) {}

    bool OnSetActive() override {
        log_.push_back("set " + std::to_string(TemplateId()));
        return acceptActivation;
    }
    bool OnKillActive() override {
        log_.push_back("kill " + std::to_string(TemplateId()));
        return allowLeave;
    }
    int OnWizardNext() override {
        log_.push_back("next " + std::to_string(TemplateId()));
        return next;
    }
    int OnWizardBack() override {
        log_.push_back("back " + std::to_string(TemplateId()));
        return back;
    }
    void OnInitDialog() override { log_.push_back("init " + std::to_string(TemplateId())); }
    void OnTimer(int id) override { timerTicks.push_back(id); }

    int next = 0;
    int back = 0;
    bool acceptActivation = true;
    bool allowLeave = true;
    std::vector<int> timerTicks;

private:
    std::vector<std::string>& log_;
};

class Sheet : public ui::PropertySheet {
public:
    explicit Sheet(ui::MessageService& messages)
        : PropertySheet(QStringLiteral("Test"), messages) {}
    std::vector<int> commands;
    std::vector<int> ticks;

protected:
    bool OnSysCommand(int id) override {
        commands.push_back(id);
        return true;
    }
    void OnTimer(int id) override { ticks.push_back(id); }
};

class PropertySheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int id : {129, 130, 131, 132}) {
            pages.push_back(new ScriptedPage(id, log));
            sheet.AddPage(pages.back());
        }
    }
    std::vector<std::string> log;
    testing_support::RecordingMessageService messages;
    Sheet sheet{messages};
    std::vector<ScriptedPage*> pages;
};

}  // namespace

TEST_F(PropertySheetTest, StartsOnTheFirstPageAndBuildsPagesWhenFirstShown) {
    sheet.show();
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"init 129", "set 129"}));
    EXPECT_TRUE(pages[0]->IsCreated());
    EXPECT_FALSE(pages[1]->IsCreated());
    EXPECT_EQ(sheet.GetPageIndexByTemplate(131), 2);
    EXPECT_EQ(sheet.GetPageIndexByTemplate(999), -1);
}

TEST_F(PropertySheetTest, NextAndBackFollowTheHandlersResult) {
    sheet.show();
    sheet.SetWizardButtons(ui::kWizBack | ui::kWizNext);
    log.clear();

    sheet.PressNext();  // 0: the next page in order
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"next 129", "kill 129", "init 130", "set 130"}));

    pages[1]->next = -1;  // stay
    log.clear();
    sheet.PressNext();
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"next 130"}));

    pages[1]->next = 132;  // a template id
    sheet.PressNext();
    EXPECT_EQ(sheet.GetActiveIndex(), 3);

    pages[3]->back = 0;  // the previous page in order
    sheet.PressBack();
    EXPECT_EQ(sheet.GetActiveIndex(), 2);
    pages[2]->back = 129;
    sheet.PressBack();
    EXPECT_EQ(sheet.GetActiveIndex(), 0);

    pages[0]->back = 0;  // nothing before the first page
    sheet.PressBack();
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    pages[0]->next = 777;  // no page has that template
    sheet.PressNext();
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
}

TEST_F(PropertySheetTest, ActivationByIndexSkipsTheHandlersButNotTheActivation) {
    sheet.show();
    log.clear();
    EXPECT_TRUE(sheet.SetActivePage(3));
    EXPECT_EQ(log, (std::vector<std::string>{"kill 129", "init 132", "set 132"}));
    EXPECT_FALSE(sheet.SetActivePage(4));
    EXPECT_FALSE(sheet.SetActivePage(-1));

    pages[3]->allowLeave = false;  // the page refuses to be left
    EXPECT_FALSE(sheet.SetActivePage(0));
    EXPECT_EQ(sheet.GetActiveIndex(), 3);

    pages[3]->allowLeave = true;
    pages[1]->acceptActivation = false;  // the target declines
    EXPECT_FALSE(sheet.SetActivePage(1));
    EXPECT_EQ(sheet.GetActiveIndex(), 3);
    EXPECT_EQ(sheet.GetActivePage(), pages[3]);
}

TEST_F(PropertySheetTest, ButtonsFollowTheFlagsAndDisabledButtonsDoNothing) {
    sheet.show();
    auto* back = sheet.Button(ui::WizardButton::Back);
    auto* next = sheet.Button(ui::WizardButton::Next);
    auto* finish = sheet.Button(ui::WizardButton::Finish);

    sheet.SetWizardButtons(0);
    EXPECT_FALSE(back->isEnabled());
    EXPECT_FALSE(next->isEnabled());
    EXPECT_TRUE(finish->isHidden());
    sheet.PressNext();
    EXPECT_EQ(sheet.GetActiveIndex(), 0);

    sheet.SetWizardButtons(ui::kWizBack | ui::kWizNext);
    EXPECT_TRUE(back->isEnabled());
    EXPECT_TRUE(next->isEnabled());

    sheet.SetWizardButtons(ui::kWizDisabledFinish);
    EXPECT_TRUE(next->isHidden());
    EXPECT_FALSE(finish->isHidden());
    EXPECT_FALSE(finish->isEnabled());

    sheet.SetWizardButtons(ui::kWizBack | ui::kWizFinish);
    EXPECT_TRUE(finish->isEnabled());
    EXPECT_TRUE(back->isEnabled());
    QTest::mouseClick(finish, Qt::LeftButton);
    EXPECT_EQ(sheet.result(), ui::kIdOk);
    EXPECT_FALSE(sheet.isVisible());
}

TEST_F(PropertySheetTest, KeyboardDrivesTheButtons) {
    sheet.show();
    sheet.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
    sheet.SetWizardButtons(ui::kWizBack | ui::kWizNext);
    // A mnemonic clicks its button after a short animation.
    QTest::keyClick(&sheet, Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return sheet.GetActiveIndex() == 1; }, 2000));
    QTest::keyClick(&sheet, Qt::Key_B, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return sheet.GetActiveIndex() == 0; }, 2000));
    QTest::keyClick(&sheet, Qt::Key_Return);  // Next is the default button
    EXPECT_TRUE(QTest::qWaitFor([&] { return sheet.GetActiveIndex() == 1; }, 2000));
}

TEST_F(PropertySheetTest, CancelClosesUnlessDisabled) {
    sheet.show();
    sheet.EnableCancel(false);
    QTest::keyClick(&sheet, Qt::Key_Escape);
    sheet.close();
    EXPECT_TRUE(sheet.isVisible());

    sheet.SetCancelText(QStringLiteral("Close"));
    EXPECT_EQ(sheet.Button(ui::WizardButton::Cancel)->text(), QStringLiteral("Close"));
    sheet.EnableCancel(true);
    QTest::keyClick(&sheet, Qt::Key_Escape);
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(sheet.result(), ui::kIdCancel);
}

TEST_F(PropertySheetTest, PostedRequestsRunLaterAndInOrder) {
    std::vector<int> order;
    sheet.Post([&] { order.push_back(1); });
    sheet.PostSetWizardButtons(ui::kWizNext);
    sheet.Post([&] { order.push_back(sheet.WizardButtons()); });
    EXPECT_TRUE(order.empty());
    EXPECT_EQ(sheet.WizardButtons(), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(order, (std::vector<int>{1, ui::kWizNext}));
}

TEST_F(PropertySheetTest, TimersRepeatUntilKilledAndARepeatedIdRestarts) {
    sheet.SetTimer(7, 30);
    QTest::qWait(20);
    sheet.SetTimer(7, 30);  // restart: no tick at 30 ms from the first start
    QTest::qWait(20);
    EXPECT_TRUE(sheet.ticks.empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return sheet.ticks.size() >= 2; }, 1000));
    sheet.KillTimer(7);
    EXPECT_FALSE(sheet.IsTimerRunning(7));
    const auto count = sheet.ticks.size();
    QTest::qWait(80);
    EXPECT_EQ(sheet.ticks.size(), count);
    EXPECT_EQ(sheet.ticks.front(), 7);

    pages[0]->SetTimer(1267, 10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !pages[0]->timerTicks.empty(); }, 1000));
    pages[0]->KillTimer(1267);
    EXPECT_EQ(pages[0]->timerTicks.front(), 1267);
}

TEST_F(PropertySheetTest, SystemMenuEntriesReachTheSheetByMouseAndKeyboard) {
    sheet.AppendSystemMenuSeparator();
    sheet.AppendSystemMenuItem(QStringLiteral("&About..."), 16);
    sheet.show();
    sheet.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
    QMenu* menu = sheet.SystemMenu();
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_TRUE(menu->actions()[0]->isSeparator());

    // Alt+Space opens the menu; A picks the entry by its mnemonic.
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 2000));
        QTest::keyClick(menu, Qt::Key_A);
    });
    QTest::keyClick(&sheet, Qt::Key_Space, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !sheet.commands.empty(); }, 2000));
    ASSERT_EQ(sheet.commands, std::vector<int>{16});

    // The command follows once the menu has closed.
    menu->actions()[1]->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return sheet.commands.size() == 2; }, 2000));
    EXPECT_EQ(sheet.commands, (std::vector<int>{16, 16}));
    EXPECT_FALSE(sheet.SystemMenuButton()->accessibleName().isEmpty());
    EXPECT_TRUE(sheet.SystemMenuButton()->focusPolicy() & Qt::TabFocus);
}
