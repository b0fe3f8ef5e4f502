// What every procedure test needs: the application object of AppTest, a
// simulated printer with a network queue of the private cupsd pointing at
// it, and the wizard sheet with the real procedure pages, the queue chosen
// as the main page would choose it. Messages go to the recorder.
#pragma once

#include <QTest>

#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <memory>
#include <string>

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
    // Past the sheet's deferred wizard buttons.
    static constexpr int kSettleMs = 80;

    // The sheet on the printer, or without one in demo mode.
    void StartSheet(bool demo = false) {
        if (demo) {
            app->SetDemoMode();
        } else {
            queue = kpm::test::UniqueQueueName("kpm-wf");
            queues.Add(queue, sim.JobDeviceUri());
        }
        sheet = std::make_unique<CTovikSheet>(messages, kpm::workflows::CreatePage);
        sheet->SetPrinterName(QString::fromStdString(demo ? "Virtual printer" : queue));
        in_addr address{};
        inet_pton(AF_INET, sim.address().c_str(), &address);
        sheet->SetPrinterAddress(static_cast<int>(ntohl(address.s_addr)));
        sheet->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet.get()));
        // The main page starts the sheet and sets the buttons when its
        // search ends: that must not land on a page the test opened.
        auto* main = dynamic_cast<CMainPage*>(sheet->GetPage(0));
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([main] { return !main->IsSearching(); }, 10000))
            << "the main page's printer search did not end";
        Settle();
    }
    void TearDown() override {
        sheet.reset();
        AppTest::TearDown();
    }

    void Settle() {
        ASSERT_TRUE(SettleWizardButtons(*sheet, kSettleMs)) << "the wizard buttons were never set";
    }

    // Activates the page of `templateId` as the main page's Next would.
    void Open(int templateId) {
        sheet->SetReturnPage(CTovikSheet::kMainPageTemplate);
        ASSERT_TRUE(sheet->SetActivePage(sheet->GetPageIndexByTemplate(templateId)))
            << "no page " << templateId;
        Settle();
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
    bool NextEnabled() const { return (sheet->WizardButtons() & ui::kWizNext) != 0; }
    bool BackEnabled() const { return (sheet->WizardButtons() & ui::kWizBack) != 0; }

    kpm::sim::Simulator sim;
    kpm::test::Queues queues;
    std::string queue;
    std::unique_ptr<CTovikSheet> sheet;
};

}  // namespace testing_support
