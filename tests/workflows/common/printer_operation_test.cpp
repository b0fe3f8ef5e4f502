#include "workflows/common/printer_operation.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "tests/support/recording_message_service.h"
#include "ui/property_page.h"
#include "ui/property_sheet.h"

namespace {

using namespace std::chrono_literals;

class CountingPage : public ui::PropertyPage {
public:
    CountingPage() : PropertyPage(102) {}
    bool OnSetActive() override {
        Sheet()->SetWizardButtons(ui::kWizNext);
        return true;
    }
    int OnWizardNext() override {
        ++nextPresses;
        return -1;
    }
    int nextPresses = 0;
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
    ui::PropertySheet sheet{QStringLiteral("Test"), messages};
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

TEST_F(PrinterOperationTest, InputDuringTheOperationIsDroppedNotDeferred) {
    QPushButton* next = sheet.Button(ui::WizardButton::Next);
    auto* edit = new QLineEdit(page);
    edit->show();
    QTest::qWait(100);  // past the activation
    ASSERT_TRUE(next->isEnabled());
    QTimer::singleShot(100, [&] {
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
    kpm::workflows::RunPrinterOperation(sheet, [] {
        std::this_thread::sleep_for(400ms);
        return 0;
    });
    QTest::qWait(100);
    EXPECT_EQ(page->nextPresses, 0);
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(edit->text(), QString());

    // Afterwards the same click counts again.
    QTest::mouseClick(next, Qt::LeftButton);
    EXPECT_EQ(page->nextPresses, 1);
}

TEST_F(PrinterOperationTest, AnExceptionOfTheOperationReachesTheCaller) {
    EXPECT_THROW(kpm::workflows::RunPrinterOperation(
                     sheet, []() -> int { throw std::runtime_error("printer gone"); }),
                 std::runtime_error);
    EXPECT_FALSE(sheet.IsBusy());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
