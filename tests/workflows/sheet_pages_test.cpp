// The sheet built with the procedure pages: every template has its page,
// in the order that fixes the indices, and the main page's first task
// opens on the chosen queue.
#include <gtest/gtest.h>

#include "tests/workflows/workflow_fixture.h"

namespace {

using testing_support::WorkflowTest;

TEST_F(WorkflowTest, EveryTemplateHasItsPageInOrder) {
    StartSheet(true);
    ASSERT_EQ(sheet->GetPageCount(), static_cast<int>(CTovikSheet::kPageTemplates.size()));
    for (int i = 0; i < sheet->GetPageCount(); ++i) {
        EXPECT_EQ(sheet->GetPage(i)->TemplateId(),
                  CTovikSheet::kPageTemplates[static_cast<std::size_t>(i)]);
    }
}

TEST_F(WorkflowTest, TheQueueOfTheSimulatorIsTheSheetsPrinter) {
    StartSheet();
    EXPECT_EQ(sheet->GetPrinterName().toStdString(), queue);
    EXPECT_EQ(sheet->ReadIpMode(), 0);
}

}  // namespace
