#include "workflows/common/printer_operation.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <thread>
#include <vector>

#include "tests/support/recording_message_service.h"
#include "ui/property_page.h"
#include "ui/property_sheet.h"

namespace {

using namespace std::chrono_literals;

// The main page's template: its "Search" button (1002) and a task radio
// (1110) stand for any page's controls.
class CountingPage : public ui::PropertyPage {
public:
    CountingPage() : PropertyPage(102) {}
    void OnInitDialog() override {
        OnClicked(kButton, [this] { ++buttonPresses; });
        OnClicked(kRadio, [this] { ++radioChoices; });
    }
    bool OnSetActive() override {
        Sheet()->SetWizardButtons(ui::kWizNext);
        return true;
    }
    int OnWizardNext() override {
        ++nextPresses;
        return -1;
    }
    static constexpr int kButton = 1002;
    static constexpr int kRadio = 1110;
    int nextPresses = 0;
    int buttonPresses = 0;
    int radioChoices = 0;
};

// A sheet with one window-menu command, counted instead of run.
class CountingSheet : public ui::PropertySheet {
public:
    using PropertySheet::PropertySheet;
    int commands = 0;

protected:
    bool OnSysCommand(int /*commandId*/) override {
        ++commands;
        return true;
    }
};

class PrinterOperationTest : public ::testing::Test {
protected:
    void SetUp() override {
        page = new CountingPage;
        sheet.AddPage(page);
        sheet.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
    }

    // Runs `operation` and, while it runs, counts how often the event loop
    // served a timer of the user-interface thread.
    int RunCountingTicks(const std::function<int()>& operation, int& ticks) {
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
        ticker.start(20);
        return kpm::workflows::RunPrinterOperation(sheet, operation);
    }

    testing_support::RecordingMessageService messages;
    CountingSheet sheet{QStringLiteral("Test"), messages};
    CountingPage* page = nullptr;
};

TEST_F(PrinterOperationTest, ReturnsTheCodeAndLeavesNothingBehind) {
    bool indicatorShown = false;
    const int code = kpm::workflows::RunPrinterOperation(sheet, [&] {
        indicatorShown = sheet.BusyIndicator()->isVisible();
        return 1005;
    });
    EXPECT_EQ(code, 1005);
    EXPECT_FALSE(indicatorShown);
    EXPECT_FALSE(sheet.IsBusy());
    EXPECT_FALSE(sheet.BusyIndicator()->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(PrinterOperationTest, KeepsServingTheWindowWhileTheOperationWaits) {
    int ticks = 0;
    bool indicatorDuring = false;
    QTimer::singleShot(400, [&] { indicatorDuring = sheet.BusyIndicator()->isVisible(); });
    const int code = RunCountingTicks(
        [] {
            std::this_thread::sleep_for(600ms);
            return 0;
        },
        ticks);
    EXPECT_EQ(code, 0);
    EXPECT_GE(ticks, 10) << "the event loop stood still while the operation ran";
    EXPECT_TRUE(indicatorDuring) << "no busy indicator after 400 ms";
    EXPECT_FALSE(sheet.BusyIndicator()->isVisible());
}

QAccessibleActionInterface* ActionsOf(QObject* object) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
    return accessible != nullptr ? accessible->actionInterface() : nullptr;
}

TEST_F(PrinterOperationTest, InputDuringTheOperationIsDroppedNotDeferred) {
    QPushButton* next = sheet.Button(ui::WizardButton::Next);
    auto* edit = new QLineEdit(page);
    edit->show();
    // As a screen reader acts: the page's button and radio button, the
    // window menu's button and its entry (found as the button's child).
    sheet.AppendSystemMenuItem(QStringLiteral("About"), 16);
    QAccessibleActionInterface* button = ActionsOf(page->Item(CountingPage::kButton));
    QAccessibleActionInterface* radio = ActionsOf(page->Item(CountingPage::kRadio));
    QAccessibleActionInterface* menuButton = ActionsOf(sheet.SystemMenuButton());
    QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(sheet.SystemMenuButton());
    ASSERT_TRUE(button && radio && menuButton && menu && menu->child(0) &&
                menu->child(0)->child(0));
    QAccessibleActionInterface* about = menu->child(0)->child(0)->actionInterface();
    ASSERT_NE(about, nullptr);
    const auto act = [&](bool withMenuButton) {
        button->doAction(QAccessibleActionInterface::pressAction());
        radio->doAction(QAccessibleActionInterface::toggleAction());
        about->doAction(QAccessibleActionInterface::pressAction());
        if (withMenuButton) {
            menuButton->doAction(QAccessibleActionInterface::showMenuAction());
        }
    };
    QTest::qWait(100);  // past the activation
    ASSERT_TRUE(next->isEnabled());

    bool menuOffered = true;
    bool menuShown = false;
    QTimer::singleShot(100, [&] {
        menuOffered =
            menuButton->actionNames().contains(QAccessibleActionInterface::showMenuAction());
        act(true);
        QTest::keyClicks(edit, QStringLiteral("abc"));
        // By mouse, by Enter, through the button's own slot (as the
        // accessibility bus presses it), and by closing the window.
        QTest::mouseClick(next, Qt::LeftButton);
        QTest::keyClick(&sheet, Qt::Key_Return);
        QTest::keyClick(&sheet, Qt::Key_Escape);
        next->click();
        sheet.PressCancel();
        sheet.close();
    });
    // A menu that opened all the same is closed again, so the test ends.
    QTimer::singleShot(250, [&] {
        menuShown = sheet.SystemMenu()->isVisible();
        sheet.SystemMenu()->close();
    });
    // Long enough for the push button's press, which clicks 100 ms later.
    kpm::workflows::RunPrinterOperation(sheet, [] {
        std::this_thread::sleep_for(800ms);
        return 0;
    });
    QTest::qWait(100);
    EXPECT_EQ(page->nextPresses, 0);
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(edit->text(), QString());
    EXPECT_EQ(page->buttonPresses, 0);
    EXPECT_EQ(page->radioChoices, 0);
    EXPECT_FALSE(page->IsItemChecked(CountingPage::kRadio));
    EXPECT_EQ(sheet.commands, 0);
    EXPECT_FALSE(menuOffered);
    EXPECT_FALSE(menuShown);

    // Afterwards the same input acts again.
    QTest::mouseClick(next, Qt::LeftButton);
    EXPECT_EQ(page->nextPresses, 1);
    act(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return page->buttonPresses == 1; }, 2000));
    EXPECT_EQ(page->radioChoices, 1);
    EXPECT_TRUE(page->IsItemChecked(CountingPage::kRadio));
    EXPECT_EQ(sheet.commands, 1);
    EXPECT_TRUE(menuButton->actionNames().contains(QAccessibleActionInterface::showMenuAction()));
}

TEST_F(PrinterOperationTest, AnExceptionOfTheOperationReachesTheCaller) {
    EXPECT_THROW(kpm::workflows::RunPrinterOperation(
                     sheet, []() -> int { throw std::runtime_error("printer gone"); }),
                 std::runtime_error);
    EXPECT_FALSE(sheet.IsBusy());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(PrinterOperationTest, AnotherWindowOpenedDuringTheWaitCanBeClosed) {
    // The wait cannot end before such a window's modal loop does, so only
    // the sheet's own window may lose its input.
    using Close = std::function<void(QDialog&, QPushButton&)>;
    const std::vector<std::pair<const char*, Close>> ways{
        {"Escape", [](QDialog& d, QPushButton&) { QTest::keyClick(&d, Qt::Key_Escape); }},
        {"close button", [](QDialog& d, QPushButton&) { d.close(); }},
        {"click on Cancel",
         [](QDialog&, QPushButton& cancel) { QTest::mouseClick(&cancel, Qt::LeftButton); }},
        {"Cancel through the accessibility bus",
         [](QDialog&, QPushButton& cancel) {
             ActionsOf(&cancel)->doAction(QAccessibleActionInterface::pressAction());
         }},
    };
    for (const auto& [name, close] : ways) {
        SCOPED_TRACE(name);
        int result = -1;
        QTimer::singleShot(50, [&, close = close] {
            QDialog dialog(&sheet);
            auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
            QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
            QTimer::singleShot(150, &dialog, [&] { close(dialog, *cancel); });
            // Never stuck: a dialog that refused is ended by the test, by
            // hiding it (done() would send a close event, dropped as well).
            QTimer::singleShot(5000, &dialog, [&dialog] {
                dialog.setResult(42);
                dialog.hide();
            });
            result = dialog.exec();
        });
        kpm::workflows::RunPrinterOperation(sheet, [] {
            std::this_thread::sleep_for(300ms);
            return 0;
        });
        EXPECT_EQ(result, QDialog::Rejected);
        EXPECT_FALSE(sheet.IsBusy());
    }
}

}  // namespace
