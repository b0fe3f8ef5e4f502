// The main page against the private cupsd: the printers it lists, what
// selecting one does, "Search", and "Next" with its routing and the reads it
// makes first. Messages go to a recorder.
#include "app/main_page.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "tests/app/app_fixture.h"
#include "tests/support/command.h"
#include "tests/support/cups_queues.h"
#include "tests/support/process.h"
#include "tools/printer-sim/simulator.h"
#include "ui/controls.h"

using kpm::test::Queues;
using kpm::test::UniqueQueueName;
using testing_support::AppTest;

namespace {

constexpr const char kUsb[] = "usb://Corvane/KPM%20pro?serial=";

class MainPageTest : public AppTest {
protected:
    void Start(std::uint16_t language = 1033) {
        MakeApp(language);
        sheet = std::make_unique<CTovikSheet>(messages, testing_support::kTaskPages);
        sheet->show();
        page = static_cast<CMainPage*>(sheet->GetPage(0));
        WaitForList();
    }
    void TearDown() override {
        sheet.reset();
        AppTest::TearDown();
    }
    // Until the search has ended and the deferred buttons are applied.
    void WaitForList() {
        QElapsedTimer waited;
        waited.start();
        while (page->IsSearching() && waited.elapsed() < 20000) {
            QTest::qWait(10);
        }
        ASSERT_FALSE(page->IsSearching()) << "the search did not end";
        QTest::qWait(80);
    }
    QComboBox* List() const { return page->ItemAs<QComboBox>(1001); }
    QPushButton* Next() const { return sheet->Button(ui::WizardButton::Next); }
    // The entries of this test's queues, in list order.
    std::vector<std::pair<std::string, std::uint32_t>> Listed(const std::string& prefix) const {
        std::vector<std::pair<std::string, std::uint32_t>> mine;
        for (int i = 0; i < List()->count(); ++i) {
            const std::string name = List()->itemText(i).toStdString();
            if (name.rfind(prefix, 0) == 0) {
                mine.emplace_back(name, ui::ComboItemValue(List(), i));
            }
        }
        return mine;
    }
    // Chooses the entry as the user does.
    void Choose(const std::string& name) {
        const int index = List()->findText(QString::fromStdString(name));
        ASSERT_GE(index, 0) << name << " is not listed";
        List()->setCurrentIndex(index);
        emit List()->activated(index);
    }
    void Search(Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mouseClick(page->Item(1002), Qt::LeftButton, modifiers);
        WaitForList();
    }
    // Next, and back to the main page from the first page of the task.
    int NextAndBack() {
        sheet->PressNext();
        const int reached = sheet->GetActivePage()->TemplateId();
        if (reached != 102) {
            sheet->SetWizardButtons(ui::kWizBack);
            sheet->PressBack();
            WaitForList();
        }
        return reached;
    }

    Queues queues;
    std::unique_ptr<CTovikSheet> sheet;
    CMainPage* page = nullptr;
};

std::uint32_t HostOrder(const std::string& dotted) {
    unsigned a = 0, b = 0, c = 0, d = 0;
    std::sscanf(dotted.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d);
    return (a << 24) | (b << 16) | (c << 8) | d;
}

}  // namespace

TEST_F(MainPageTest, TextsFontsAndTheInitialChoice) {
    // A print system that cannot be reached has no printers to offer.
    const std::string server = std::getenv("CUPS_SERVER") ? std::getenv("CUPS_SERVER") : "";
    setenv("CUPS_SERVER", "/nonexistent/kpm-test/cups.sock", 1);
    Start();
    setenv("CUPS_SERVER", server.c_str(), 1);
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
    EXPECT_EQ(List()->count(), 0);
    EXPECT_FALSE(Next()->isEnabled());
    EXPECT_TRUE(page->IsItemEnabled(1001));
    EXPECT_TRUE(page->IsItemEnabled(1002));
    EXPECT_FALSE(page->BusyIndicator()->isVisible());
    EXPECT_EQ(page->Item(1142)->accessibleName(), QString());
    EXPECT_EQ(page->Item(1141)->accessibleDescription(), page->ItemText(1142));
    EXPECT_TRUE(messages.boxes.empty());
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

TEST_F(MainPageTest, ListsOnlyKpmQueuesThatCanBeReached) {
    kpm::sim::Simulator printer;
    const std::string p = UniqueQueueName("main");
    const kpm::test::PpdVariant lowerCase({{"*NickName", "*NickName: \"corvane kpm pro\""},
                                           {"*ModelName", "*ModelName: \"corvane kpm pro\""}});
    const kpm::test::PpdVariant appended({{"*NickName", "*NickName: \"Corvane KPM pro 2\""},
                                          {"*ModelName", "*ModelName: \"Corvane KPM pro 2\""}});
    const kpm::test::PpdVariant noMat{{"*CvMatCheck", ""}};
    queues.Add(p + "-B", std::string(kUsb) + "B1");
    queues.Add(p + "-a", std::string(kUsb) + "A1");
    queues.Add(p + "-net", printer.JobDeviceUri());
    queues.Add(p + "-case", std::string(kUsb) + "C1", lowerCase.path());
    queues.Add(p + "-appended", std::string(kUsb) + "D1", appended.path());
    queues.Add(p + "-FileOutput", std::string(kUsb) + "E1");
    queues.Add(p + "-file", "file:///dev/null");
    queues.Add(p + "-no-mat", std::string(kUsb) + "F1", noMat.path());

    Start();
    // Sorted without regard to letter case; the network printer with its
    // address, USB printers with 0.
    EXPECT_EQ(Listed(p),
              (std::vector<std::pair<std::string, std::uint32_t>>{
                  {p + "-a", 0}, {p + "-B", 0}, {p + "-net", HostOrder(printer.address())}}));
    EXPECT_TRUE(Next()->isEnabled());
}

TEST_F(MainPageTest, SelectionIsKeptAcrossAWorkflowAndProgressBelongsToThePrinter) {
    const std::string p = UniqueQueueName("keep");
    queues.Add(p + "-B", std::string(kUsb) + "B2");
    queues.Add(p + "-A", std::string(kUsb) + "A2");
    Start();
    ASSERT_EQ(Listed(p).size(), 2u);
    EXPECT_EQ(Listed(p)[0].first, p + "-A");

    Choose(p + "-B");
    page->CheckItem(1024, true);
    EXPECT_EQ(NextAndBack(), 129);
    EXPECT_EQ(sheet->GetPrinterName(), QString::fromStdString(p + "-B"));
    EXPECT_EQ(List()->currentText(), QString::fromStdString(p + "-B"));
    EXPECT_EQ(sheet->Button(ui::WizardButton::Cancel)->text(), QStringLiteral("Close"));

    // The same printer again keeps the progress flags...
    sheet->m_bFiringDone = {1, 1, 0, 0};
    sheet->m_bHeadSettingDone = {1, 0};
    EXPECT_EQ(NextAndBack(), 129);
    EXPECT_EQ(sheet->m_bFiringDone, (std::array<int, 4>{1, 1, 0, 0}));
    // ...another one clears all of them.
    Choose(p + "-A");
    EXPECT_EQ(NextAndBack(), 129);
    EXPECT_EQ(sheet->m_bFiringDone, (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(sheet->m_bHeadSettingDone, (std::array<int, 2>{0, 0}));
    EXPECT_EQ(sheet->GetPrinterAddress(), 0);
}

TEST_F(MainPageTest, ANetworkPrinterCannotTakeTheIpAddressTask) {
    kpm::sim::Simulator printer;
    const std::string p = UniqueQueueName("ip");
    queues.Add(p + "-usb", std::string(kUsb) + "U3");
    queues.Add(p + "-net", printer.JobDeviceUri());
    Start();
    Choose(p + "-usb");
    EXPECT_TRUE(page->IsItemEnabled(1005));
    page->CheckItem(1005, true);

    Choose(p + "-net");
    EXPECT_FALSE(page->IsItemEnabled(1005));
    EXPECT_FALSE(page->IsItemEnabled(1048));
    EXPECT_FALSE(page->IsItemChecked(1005));
    EXPECT_TRUE(page->IsItemChecked(1141));
    EXPECT_TRUE(Next()->isEnabled());
    EXPECT_EQ(NextAndBack(), 228);
    EXPECT_EQ(sheet->GetPrinterAddress(), static_cast<int>(HostOrder(printer.address())));

    Choose(p + "-usb");
    EXPECT_TRUE(page->IsItemEnabled(1005));
}

TEST_F(MainPageTest, IpAddressTaskReadsTheAddressModeFirstAndStaysOnFailure) {
    const std::string p = UniqueQueueName("ipmode");
    queues.Add(p + "-usb", std::string(kUsb) + "U4");
    Start();
    Choose(p + "-usb");
    page->CheckItem(1005, true);
    sheet->PressNext();

    // This USB printer cannot be reached: its code is shown, the page stays.
    EXPECT_EQ(sheet->GetActiveIndex(), 0);
    ASSERT_EQ(messages.boxes.size(), 1u);
    const QString text = messages.boxes[0].text;
    const qsizetype open = text.lastIndexOf(QLatin1Char('('));
    ASSERT_GT(open, 0) << text.toStdString();
    const int code = text.mid(open + 1).chopped(1).toInt();
    EXPECT_NE(code, 0);
    QString expected;
    LoadText(ErrorMessageTextId(code), expected);
    EXPECT_EQ(text, expected + QStringLiteral(" (%1)").arg(code));
    EXPECT_EQ(sheet->GetReturnPage(), -1);
    EXPECT_EQ(sheet->Button(ui::WizardButton::Cancel)->text(), QStringLiteral("Close"));
    EXPECT_EQ(sheet->GetPrinterName(), QString::fromStdString(p + "-usb"));
}

TEST_F(MainPageTest, CtrlShiftSearchSwitchesToDemoModeForGood) {
    const std::string p = UniqueQueueName("demo");
    queues.Add(p + "-usb", std::string(kUsb) + "U5");
    Start();
    Search();  // a plain Search finds the printers again
    EXPECT_EQ(app->IsDemoMode(), 0);
    EXPECT_EQ(Listed(p).size(), 1u);

    Search(Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(app->IsDemoMode(), 1);
    ASSERT_EQ(List()->count(), 1);
    EXPECT_EQ(List()->currentText(), QStringLiteral("Virtual printer"));
    EXPECT_TRUE(Next()->isEnabled());
    // A USB printer (address 0) may take the IP address task, and in demo
    // mode reading its address mode succeeds.
    EXPECT_TRUE(page->IsItemEnabled(1005));
    page->CheckItem(1005, true);
    EXPECT_EQ(NextAndBack(), 307);
    EXPECT_TRUE(messages.boxes.empty());
    // Back on the main page: still the virtual printer only.
    ASSERT_EQ(List()->count(), 1);
    EXPECT_EQ(List()->currentText(), QStringLiteral("Virtual printer"));
    Search();
    EXPECT_EQ(List()->count(), 1);
}

TEST_F(MainPageTest, EveryTaskRoutesToItsFirstPage) {
    Start();
    app->SetDemoMode();
    page->RebuildPrinterList();
    EXPECT_FALSE(page->IsSearching());  // demo mode asks no print system
    sheet->SetWizardButtons(ui::kWizNext);

    const std::pair<int, int> routes[] = {{1141, 228}, {1024, 129}, {1153, 252}, {1025, 138},
                                          {1005, 307}, {1006, 201}, {1007, 309}, {1008, 310}};
    for (const auto& [radio, target] : routes) {
        SCOPED_TRACE(radio);
        page->CheckItem(radio, true);
        sheet->PressNext();
        EXPECT_EQ(sheet->GetActivePage()->TemplateId(), target);
        EXPECT_EQ(sheet->GetReturnPage(), 102);
        EXPECT_EQ(sheet->Button(ui::WizardButton::Cancel)->text(), QStringLiteral("Cancel"));
        // The plain pages lead back to the main page.
        sheet->SetWizardButtons(ui::kWizBack);
        sheet->PressBack();
        EXPECT_EQ(sheet->GetActiveIndex(), 0);
        QTest::qWait(80);
    }
    EXPECT_EQ(sheet->GetPrinterName(), QStringLiteral("Virtual printer"));
    EXPECT_EQ(sheet->GetHasWhiteHeads(), 1);

    // No task selected: firing.
    for (const auto& route : routes) {
        page->CheckItem(route.first, false);
    }
    EXPECT_EQ(page->OnWizardNext(), 129);
}

// A keyboard user starts in the printer list, reaches the tasks with Tab
// and the arrow keys, and opens the chosen one with Enter; a Space pressed
// at once, while the printers are still searched, does not end the wizard.
TEST_F(MainPageTest, TheKeyboardAloneChoosesAndOpensATask) {
    const std::string p = UniqueQueueName("keys");
    queues.Add(p + "-usb", std::string(kUsb) + "K1");
    for (bool spaceAtOnce : {true, false}) {
        SCOPED_TRACE(spaceAtOnce);
        sheet = std::make_unique<CTovikSheet>(messages, testing_support::kTaskPages);
        page = static_cast<CMainPage*>(sheet->GetPage(0));
        sheet->show();
        sheet->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
        QWidget* cancel = sheet->Button(ui::WizardButton::Cancel);
        EXPECT_NE(QApplication::focusWidget(), cancel);
        if (spaceAtOnce) {
            QTest::keyClick(sheet->windowHandle(), Qt::Key_Space);
            if (QWidget* popup = QApplication::activePopupWidget()) {
                popup->close();  // the list's, had the search been quick
            }
            WaitForList();
            EXPECT_TRUE(sheet->isVisible());
            EXPECT_EQ(sheet->GetActiveIndex(), 0);
            continue;
        }
        WaitForList();
        ASSERT_EQ(QApplication::focusWidget(), List());
        QTest::keyClick(sheet->windowHandle(), Qt::Key_Tab);  // Search
        QTest::keyClick(sheet->windowHandle(), Qt::Key_Tab);  // the chosen task
        EXPECT_EQ(QApplication::focusWidget(), page->Item(1141));
        QTest::keyClick(sheet->windowHandle(), Qt::Key_Down);
        EXPECT_TRUE(page->IsItemChecked(1024));
        // Back in the list, Enter is still Next.
        QTest::keyClick(sheet->windowHandle(), Qt::Key_Backtab);
        QTest::keyClick(sheet->windowHandle(), Qt::Key_Backtab);
        ASSERT_EQ(QApplication::focusWidget(), List());
        QTest::keyClick(sheet->windowHandle(), Qt::Key_Return);
        EXPECT_EQ(sheet->GetActivePage()->TemplateId(), 129);
        EXPECT_NE(QApplication::focusWidget(), cancel);
    }
}

// The first search where network printers do not answer: a network
// namespace of its own with echo replies switched off. The print system is
// still reached through its Unix socket.
TEST_F(MainPageTest, SilentNetworkPrintersAreLeftOutWhileThePageStaysResponsive) {
    const std::string p = UniqueQueueName("silent");
    for (int i = 0; i < 3; ++i) {
        queues.Add(p + "-net-" + std::to_string(i),
                   "socket://" + kpm::sim::RandomLoopbackAddress() + ":9100");
    }
    queues.Add(p + "-usb", std::string(kUsb) + "S6");

    const std::string unshare = kpm::test::FindProgram("unshare");
    const std::string ip = kpm::test::FindProgram("ip");
    const std::string sysctl = kpm::test::FindProgram("sysctl");
    ASSERT_FALSE(unshare.empty() || ip.empty() || sysctl.empty())
        << "unshare (util-linux), ip (iproute2) and sysctl (procps) are needed";
    const kpm::test::CommandResult result =
        kpm::test::RunCommand({unshare, "--net", "sh", "-c",
                               ip + " link set lo up && " + sysctl +
                                   " -q -w net.ipv4.icmp_echo_ignore_all=1 && exec \"$0\"",
                               MAIN_PAGE_PROBE});
    ASSERT_EQ(result.exitStatus, 0) << result.output;

    std::istringstream output(result.output);
    std::vector<std::string> printers;
    std::string busy;
    long ticks = -1, took = -1;
    for (std::string line; std::getline(output, line);) {
        if (line.rfind("printer " + p, 0) == 0) {
            printers.push_back(line.substr(8));
        } else if (line.rfind("busy ", 0) == 0) {
            busy = line.substr(5);
        } else if (line.rfind("ticks ", 0) == 0) {
            ticks = std::stol(line.substr(6));
        } else if (line.rfind("took ", 0) == 0) {
            took = std::stol(line.substr(5));
        }
    }
    EXPECT_EQ(printers, std::vector<std::string>{p + "-usb 0"}) << result.output;
    // The silent printers were each given their second, all at once.
    EXPECT_GE(took, 1000);
    EXPECT_LT(took, 3000);
    // Meanwhile the list, Search and Next were disabled, the busy indicator
    // showed, and the user-interface thread kept running (a 20 ms timer
    // fired most of the time).
    EXPECT_EQ(busy, "list=0 search=0 next=0 indicator=1");
    EXPECT_GE(ticks, took / 20 / 2);
}
