// What every procedure test needs: the application object of AppTest, a
// simulated printer with a network queue of the private cupsd pointing at
// it, and the wizard sheet with the real procedure pages, the queue chosen
// as the main page would choose it. Messages go to the recorder. Fixtures
// for printers attached otherwise (usb_workflow_fixture.h) give the
// simulator their options and say which queue and address it has.
#pragma once

#include <QComboBox>
#include <QTest>

#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/main_page.h"
#include "app/tovik_sheet.h"
#include "tests/app/app_fixture.h"
#include "tests/support/cups_queues.h"
#include "tests/workflows/settle.h"
#include "tools/printer-sim/simulator.h"
#include "ui/property_page.h"
#include "workflows/wizard_pages.h"

namespace testing_support {

class WorkflowTest : public AppTest {
protected:
    WorkflowTest() = default;
    explicit WorkflowTest(kpm::sim::Options options) : sim(std::move(options)) {}

    // The device URI of the simulator's queue.
    virtual std::string DeviceUri() const { return sim.JobDeviceUri(); }
    // The printer address the main page would store: the simulator's
    // IPv4 address in host byte order (0 for a USB printer).
    virtual int PrinterAddress() const {
        in_addr address{};
        inet_pton(AF_INET, sim.address().c_str(), &address);
        return static_cast<int>(ntohl(address.s_addr));
    }

    // Past the sheet's deferred wizard buttons.
    static constexpr int kSettleMs = 80;

    // The sheet on the printer, or without one in demo mode.
    void StartSheet(bool demo = false) {
        if (demo) {
            app->SetDemoMode();
        } else {
            queue = kpm::test::UniqueQueueName("kpm-wf");
            queues.Add(queue, DeviceUri());
        }
        sheet = std::make_unique<CTovikSheet>(messages, kpm::workflows::WizardPages());
        sheet->SetPrinterName(QString::fromStdString(demo ? "Virtual printer" : queue));
        sheet->SetPrinterAddress(PrinterAddress());
        sheet->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet.get()));
        WaitForMainPageSearch();
    }
    void TearDown() override {
        sheet.reset();
        AppTest::TearDown();
    }

    void Settle() {
        ASSERT_TRUE(SettleWizardButtons(*sheet, kSettleMs)) << "the wizard buttons were never set";
    }

    // The main page searches the print system whenever it is shown (the
    // sheet's start, Back to it) and sets the buttons when the search ends:
    // that must not land on a page the test opened.
    void WaitForMainPageSearch() {
        auto* main = dynamic_cast<CMainPage*>(sheet->GetPage(0));
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([main] { return !main->IsSearching(); }, 10000))
            << "the main page's printer search did not end";
        Settle();
    }

    // Activates the page of `templateId` as the main page's Next would.
    void Open(int templateId) {
        WaitForMainPageSearch();
        sheet->SetReturnPage(kpm::ids::IDD_MAIN);
        ASSERT_TRUE(sheet->SetActivePage(sheet->GetPageIndexByTemplate(templateId)))
            << "no page " << templateId;
        Settle();
    }
    // On the main page: chooses the test's printer (the virtual one in demo
    // mode) and task radio `task`, and presses Next.
    void ChooseTask(int task) {
        auto* main = dynamic_cast<CMainPage*>(sheet->GetPage(0));
        ASSERT_NE(main, nullptr);
        ASSERT_EQ(sheet->GetActiveIndex(), 0);
        auto* list = main->ItemAs<QComboBox>(1001);
        const int index = list->findText(sheet->GetPrinterName());
        ASSERT_GE(index, 0) << "the main page does not list "
                            << sheet->GetPrinterName().toStdString();
        list->setCurrentIndex(index);
        emit list->activated(index);
        ASSERT_TRUE(main->IsItemEnabled(task));
        Click(main->Item(task));
        ASSERT_TRUE(main->IsItemChecked(task));
        Next();
    }
    int Active() const { return sheet->GetActivePage()->TemplateId(); }
    template <typename Page>
    Page* PageOf(int templateId) const {
        return dynamic_cast<Page*>(sheet->GetPage(sheet->GetPageIndexByTemplate(templateId)));
    }
    void Next() {
        sheet->PressNext();
        Settle();
    }
    void Back() {
        sheet->PressBack();
        Settle();
    }
    // A click where a radio button or check box takes it (its indicator),
    // and past the sheet's deferred buttons.
    void Click(QWidget* control, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(control, button, {}, QPoint(6, control->height() / 2));
        Settle();
    }
    bool NextEnabled() const { return (sheet->WizardButtons() & ui::kWizNext) != 0; }
    // The values of every request command `code` the simulator received,
    // in order.
    std::vector<std::vector<unsigned char>> Sent(std::uint16_t code) const {
        std::vector<std::vector<unsigned char>> values;
        for (const auto& request : sim.requests()) {
            for (const auto& command : request.commands) {
                if (command.code == code) {
                    values.push_back(command.data);
                }
            }
        }
        return values;
    }
    bool BackEnabled() const { return (sheet->WizardButtons() & ui::kWizBack) != 0; }

    kpm::sim::Simulator sim;
    kpm::test::Queues queues;
    std::string queue;
    std::unique_ptr<CTovikSheet> sheet;
};

}  // namespace testing_support
