// The wizard by keyboard and screen reader: Enter and the default button,
// where the focus starts, the system menu on the accessibility layer, and
// check boxes and radio buttons chosen in every way the user can.
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/support/recording_message_service.h"
#include "ui/accessibility.h"
#include "ui/controls.h"
#include "ui/first_focus.h"
#include "ui/property_page.h"
#include "ui/property_sheet.h"

namespace {

// A page of hand-made controls (no template has that id), each with its id.
class HandMadePage : public ui::PropertyPage {
public:
    // Control kinds: "label", "button", "edit", "list", "radio", "check".
    HandMadePage(int id, std::vector<std::pair<int, std::string>> controls)
        : PropertyPage(id), controls_(std::move(controls)) {}

    int OnWizardNext() override {
        ++nexts;
        return 0;
    }
    bool OnWizardFinish() override {
        ++finishes;
        return true;
    }

    int nexts = 0;
    int finishes = 0;

protected:
    void OnInitDialog() override {
        auto* layout = new QVBoxLayout(this);
        for (const auto& [id, kind] : controls_) {
            QWidget* w = nullptr;
            if (kind == "label") {
                w = new QLabel(QStringLiteral("Text"), this);
            } else if (kind == "button") {
                w = new QPushButton(QStringLiteral("See the example"), this);
            } else if (kind == "edit") {
                w = new QLineEdit(this);
            } else if (kind == "list") {
                auto* combo = new QComboBox(this);
                combo->addItems({QStringLiteral("A"), QStringLiteral("B")});
                w = combo;
            } else if (kind == "radio") {
                w = new QRadioButton(QStringLiteral("Choice &%1").arg(id), this);
            } else {
                w = new QCheckBox(QStringLiteral("&Done"), this);
            }
            w->setObjectName(ui::ControlName(id));
            layout->addWidget(w);
        }
    }

private:
    std::vector<std::pair<int, std::string>> controls_;
};

class Sheet : public ui::PropertySheet {
public:
    explicit Sheet(ui::MessageService& messages)
        : PropertySheet(QStringLiteral("Test"), messages) {}
    std::vector<int> commands;

protected:
    bool OnSysCommand(int id) override {
        commands.push_back(id);
        return true;
    }
};

class KeyboardTest : public ::testing::Test {
protected:
    HandMadePage* AddPage(std::vector<std::pair<int, std::string>> controls) {
        auto* page = new HandMadePage(9000 + sheet.GetPageCount(), std::move(controls));
        sheet.AddPage(page);
        return page;
    }
    void Show() {
        sheet.show();
        sheet.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
    }
    // A key as the window system delivers it: to the focused control first.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(sheet.windowHandle(), key, modifiers);
    }
    QWidget* Focused() const { return QApplication::focusWidget(); }

    testing_support::RecordingMessageService messages;
    Sheet sheet{messages};
};

}  // namespace

TEST_F(KeyboardTest, EnterPressesNextOrFinishWhenEnabledAndNeverCancel) {
    HandMadePage* page = AddPage({{1, "edit"}, {2, "radio"}, {3, "check"}});
    AddPage({{1, "edit"}});
    struct Case {
        const char* what;
        int flags;
        QWidget* focus;
        bool consumes;
        int nexts, finishes;
        int active;  // afterwards; -1 once the sheet has closed
    };
    Show();  // builds the first page's controls
    QWidget* back = sheet.Button(ui::WizardButton::Back);
    QWidget* cancel = sheet.Button(ui::WizardButton::Cancel);
    const Case cases[] = {
        {"next enabled, in an edit", ui::kWizBack | ui::kWizNext, page->Item(1), false, 1, 0, 1},
        {"on a radio", ui::kWizNext, page->Item(2), false, 1, 0, 1},
        {"on a check box", ui::kWizNext, page->Item(3), false, 1, 0, 1},
        {"next disabled", ui::kWizBack, page->Item(1), false, 0, 0, 0},
        {"nothing enabled, on Cancel", 0, cancel, false, 0, 0, 0},
        {"on Cancel", ui::kWizNext, cancel, false, 1, 0, 1},
        {"finish", ui::kWizBack | ui::kWizFinish, page->Item(1), false, 0, 1, -1},
        {"disabled finish", ui::kWizDisabledFinish, page->Item(1), false, 0, 0, 0},
        {"the page takes Enter", ui::kWizNext, page->Item(1), true, 0, 0, 0},
        {"a focused Back takes Enter", ui::kWizBack | ui::kWizNext, back, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sheet.SetActivePage(c.focus == back ? 1 : 0);
        page->nexts = page->finishes = 0;
        page->SetConsumesEnter(c.consumes);
        sheet.SetWizardButtons(c.flags);
        EXPECT_EQ(sheet.Button(ui::WizardButton::Next)->isDefault(),
                  !c.consumes && (c.flags & (ui::kWizFinish | ui::kWizDisabledFinish)) == 0);
        c.focus->setFocus();
        Key(c.focus == page->Item(3) ? Qt::Key_Enter : Qt::Key_Return);
        EXPECT_EQ(page->nexts, c.nexts);
        EXPECT_EQ(page->finishes, c.finishes);
        EXPECT_EQ(sheet.isVisible() ? sheet.GetActiveIndex() : -1, c.active);
        if (!sheet.isVisible()) {
            EXPECT_EQ(sheet.result(), ui::kIdOk);
            Show();
        }
    }
    page->SetConsumesEnter(false);
    // Nor while the sheet is busy.
    sheet.SetActivePage(0);
    sheet.SetWizardButtons(ui::kWizNext);
    sheet.SetBusy(true);
    Key(Qt::Key_Return);
    sheet.SetBusy(false);
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
}

TEST_F(KeyboardTest, AnActivatedPageFocusesItsFirstInputControl) {
    struct Case {
        const char* what;
        std::vector<std::pair<int, std::string>> controls;
        int focused;  // control id, 0 for the page itself
    };
    const std::vector<Case> cases = {
        {"edit after a label and a push button",
         {{1, "label"}, {2, "button"}, {3, "edit"}, {4, "list"}},
         3},
        {"the chosen radio of the group", {{1, "radio"}, {2, "radio"}, {3, "radio"}}, 2},
        {"a push button when nothing else", {{1, "label"}, {2, "button"}}, 2},
        {"the page when it has no control", {{1, "label"}}, 0},
    };
    std::vector<HandMadePage*> pages;
    for (const Case& c : cases) {
        pages.push_back(AddPage(c.controls));
    }
    sheet.Start();  // as DoModal does: activated before it is shown
    pages[1]->Create();
    pages[1]->CheckItem(2, true);
    Show();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].what);
        if (i > 0) {
            sheet.SetActivePage(static_cast<int>(i));
        }
        QWidget* expected = cases[i].focused == 0 ? pages[i] : pages[i]->Item(cases[i].focused);
        EXPECT_EQ(Focused(), expected);
        EXPECT_EQ(ui::FirstInputControl(pages[i]), cases[i].focused == 0 ? nullptr : expected);
    }
}

TEST_F(KeyboardTest, TheFocusNeverFallsOntoCancel) {
    AddPage({{1, "label"}});
    AddPage({{1, "edit"}});
    Show();
    QWidget* cancel = sheet.Button(ui::WizardButton::Cancel);
    EXPECT_NE(Focused(), cancel);
    // The first Space does not end the wizard.
    Key(Qt::Key_Space);
    EXPECT_TRUE(sheet.isVisible());

    // A focused Next that the page disables hands the focus to the page.
    sheet.SetWizardButtons(ui::kWizNext);
    sheet.Button(ui::WizardButton::Next)->setFocus();
    sheet.SetWizardButtons(0);
    EXPECT_EQ(Focused(), sheet.GetActivePage());
    // So does a focused control that the page disables or hides.
    sheet.SetActivePage(1);
    for (bool hide : {false, true}) {
        QWidget* edit = sheet.GetPage(1)->Item(1);
        ASSERT_EQ(Focused(), edit);
        hide ? edit->hide() : edit->setEnabled(false);
        EXPECT_EQ(Focused(), sheet.GetPage(1));
        edit->show();
        edit->setEnabled(true);
        edit->setFocus();
    }
    // Tab from the page's last control leads to the buttons, not beyond.
    sheet.SetWizardButtons(ui::kWizBack | ui::kWizNext);
    sheet.SetActivePage(1);
    ASSERT_EQ(Focused(), sheet.GetPage(1)->Item(1));
    Key(Qt::Key_Tab);
    EXPECT_EQ(Focused(), sheet.Button(ui::WizardButton::Back));
    Key(Qt::Key_Backtab);
    EXPECT_EQ(Focused(), sheet.GetPage(1)->Item(1));
}

TEST_F(KeyboardTest, AControlDisabledForAMomentGetsTheFocusWhenEnabled) {
    HandMadePage* page = AddPage({{1, "list"}, {2, "radio"}, {3, "radio"}});
    AddPage({{1, "list"}, {2, "radio"}, {3, "radio"}});
    Show();
    for (bool userMovesOn : {false, true}) {
        SCOPED_TRACE(userMovesOn);
        sheet.SetActivePage(1);
        sheet.SetActivePage(0);
        page->EnableItem(1, false);  // as while it searches
        sheet.FocusActivePage();
        ASSERT_EQ(Focused(), page->Item(2));
        if (userMovesOn) {
            Key(Qt::Key_Down);
        }
        page->EnableItem(1, true);
        EXPECT_EQ(Focused(), userMovesOn ? page->Item(3) : page->Item(1));
    }
}

TEST_F(KeyboardTest, TheSystemMenuAndItsEntriesAreOnTheAccessibilityLayer) {
    AddPage({{1, "edit"}});
    sheet.SetSystemMenuName(QStringLiteral("Window menu"));
    sheet.AppendSystemMenuSeparator();
    sheet.AppendSystemMenuItem(QStringLiteral("About Tool(&A)..."), 16);
    Show();

    // Found from the window down, as a screen reader walks it.
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&sheet);
    ASSERT_NE(window, nullptr);
    QAccessibleInterface* button = nullptr;
    for (int i = 0; i < window->childCount(); ++i) {
        if (window->child(i)->object() == sheet.SystemMenuButton()) {
            button = window->child(i);
        }
    }
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->role(), QAccessible::ButtonMenu);
    EXPECT_EQ(button->text(QAccessible::Name), QStringLiteral("Window menu"));
    EXPECT_TRUE(button->state().hasPopup);
    ASSERT_EQ(button->childCount(), 1);
    QAccessibleInterface* menu = button->child(0);
    EXPECT_EQ(menu->role(), QAccessible::PopupMenu);
    EXPECT_EQ(menu->text(QAccessible::Name), QStringLiteral("Window menu"));
    EXPECT_EQ(button->indexOfChild(menu), 0);
    ASSERT_EQ(menu->childCount(), 2);
    EXPECT_EQ(menu->child(0)->role(), QAccessible::Separator);
    QAccessibleInterface* about = menu->child(1);
    EXPECT_EQ(about->role(), QAccessible::MenuItem);
    EXPECT_TRUE(about->text(QAccessible::Name).startsWith(QStringLiteral("About Tool")));
    ASSERT_NE(about->actionInterface(), nullptr);
    ASSERT_TRUE(about->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::pressAction()));

    // Choosing the entry answers at once; the command follows.
    about->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(sheet.commands.empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !sheet.commands.empty(); }, 2000));
    EXPECT_EQ(sheet.commands, std::vector<int>{16});

    // The button's own action opens the menu, and keyboard users still
    // have Alt+Space.
    ASSERT_TRUE(button->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::showMenuAction()));
    // The menu runs a loop of its own: a timer closes it once it shows.
    QMenu* popup = sheet.SystemMenu();
    int opened = 0;
    QTimer close;
    close.setInterval(10);
    QObject::connect(&close, &QTimer::timeout, [&] {
        if (popup->isVisible()) {
            ++opened;
            popup->hide();
        }
    });
    close.start();
    button->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened == 1; }, 2000));
    Key(Qt::Key_Space, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened == 2; }, 2000));
}

TEST(AccessibleText, MnemonicMarkersAreNotRead) {
    EXPECT_EQ(ui::AccessibleText(QStringLiteral("&Next >")), QStringLiteral("Next >"));
    EXPECT_EQ(ui::AccessibleText(QStringLiteral("Yes(&Y)")), QStringLiteral("Yes"));
    EXPECT_EQ(ui::AccessibleText(QStringLiteral("About(&A)...")), QStringLiteral("About..."));
    EXPECT_EQ(ui::AccessibleText(QStringLiteral("Salt && pepper")),
              QStringLiteral("Salt & pepper"));
    EXPECT_EQ(ui::AccessibleText(QStringLiteral("(&)")), QStringLiteral("()"));
    EXPECT_EQ(ui::AccessibleText(QStringLiteral("end&")), QStringLiteral("end"));
}

// Every way the user changes a radio button or check box runs its click
// handler exactly once; the page's own changes run none.
TEST_F(KeyboardTest, EveryChoiceByTheUserRunsTheClickHandlerOnce) {
    HandMadePage* page = AddPage({{1, "radio"}, {2, "radio"}, {3, "check"}});
    Show();
    std::map<int, int> clicks;
    for (int id : {1, 2, 3}) {
        page->OnClicked(id, [&clicks, id] { ++clicks[id]; });
    }
    auto* first = page->ItemAs<QAbstractButton>(1);
    auto* second = page->ItemAs<QAbstractButton>(2);
    auto* box = page->ItemAs<QAbstractButton>(3);
    const auto accessibleAction = [](QAbstractButton* b, const QString& action) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(b);
        ASSERT_NE(iface->actionInterface(), nullptr);
        ASSERT_TRUE(iface->actionInterface()->actionNames().contains(action));
        iface->actionInterface()->doAction(action);
    };

    struct Way {
        const char* what;
        std::function<void()> act;
        std::map<int, int> clicks;
        bool first, second, box;  // checked afterwards
    };
    const Way ways[] = {
        {"toggle action on a radio",
         [&] { accessibleAction(second, QAccessibleActionInterface::toggleAction()); },
         {{2, 1}},
         false,
         true,
         false},
        {"click",
         [&] { QTest::mouseClick(first, Qt::LeftButton, {}, QPoint(6, first->height() / 2)); },
         {{1, 1}},
         true,
         false,
         false},
        {"arrow key",
         [&] {
             first->setFocus();
             Key(Qt::Key_Down);
         },
         {{2, 1}},
         false,
         true,
         false},
        {"Space",
         [&] {
             first->setFocus();
             Key(Qt::Key_Space);
         },
         {{1, 1}},
         true,
         false,
         false},
        {"toggle action on a check box",
         [&] { accessibleAction(box, QAccessibleActionInterface::toggleAction()); },
         {{3, 1}},
         true,
         false,
         true},
        {"press action on a check box",
         [&] { accessibleAction(box, QAccessibleActionInterface::pressAction()); },
         {{3, 1}},
         true,
         false,
         false},
        {"Space on a check box",
         [&] {
             box->setFocus();
             Key(Qt::Key_Space);
         },
         {{3, 1}},
         true,
         false,
         true},
        {"the page's own changes",
         [&] {
             second->setChecked(true);
             box->setChecked(false);
             page->CheckRadio(1, 2, 1);
             page->CheckItem(3, true);
             page->CheckItem(1, false);
             first->toggle();
         },
         {},
         true,
         false,
         true},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.what);
        clicks.clear();
        way.act();
        EXPECT_EQ(clicks, way.clicks);
        EXPECT_EQ(first->isChecked(), way.first);
        EXPECT_EQ(second->isChecked(), way.second);
        EXPECT_EQ(box->isChecked(), way.box);
    }
    // The screen reader hears what the state is.
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(first);
    EXPECT_EQ(iface->role(), QAccessible::RadioButton);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Choice 1"));
    EXPECT_TRUE(iface->state().checkable);
    EXPECT_TRUE(iface->state().checked);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(box)->role(), QAccessible::CheckBox);

    // A disabled control does nothing.
    page->EnableItem(2, false);
    clicks.clear();
    QAccessible::queryAccessibleInterface(second)->actionInterface()->doAction(
        QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(clicks.empty());
    EXPECT_FALSE(second->isChecked());
}
