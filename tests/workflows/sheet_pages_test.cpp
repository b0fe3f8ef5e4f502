// The sheet built with the procedure pages: the main page's first task
// opens on the chosen queue, and the example buttons open their dialogs.
#include <QAbstractButton>
#include <QLabel>

#include <gtest/gtest.h>

#include "tests/workflows/workflow_fixture.h"

namespace {

using testing_support::WorkflowTest;

TEST_F(WorkflowTest, TheQueueOfTheSimulatorIsTheSheetsPrinter) {
    StartSheet();
    EXPECT_EQ(sheet->GetPrinterName().toStdString(), queue);
    EXPECT_EQ(sheet->ReadIpMode(), 0);
}

// "See the print example ..." on each page that has it opens its dialog,
// with its pictures drawn and named in the wizard's language.
TEST_F(WorkflowTest, ExampleButtonsOpenTheirDialogsWithPictures) {
    struct Example {
        int page;
        int dialog;
        std::vector<int> pictures;
    };
    const Example examples[] = {{132, 196, {1060}},       {134, 197, {1290, 1291}},
                                {140, 304, {1060}},       {142, 306, {1290, 1291}},
                                {233, 235, {1270, 1271}}, {237, 236, {1272, 1273, 1274, 1276}}};
    StartSheet(true);
    for (const Example& e : examples) {
        SCOPED_TRACE(e.page);
        bool drawn = true;
        QString closeText;
        QStringList names;
        messages.onModal = [&](QDialog& dialog) {
            for (int id : e.pictures) {
                const auto* picture = dialog.findChild<QLabel*>(QStringLiteral("ctl_%1").arg(id));
                drawn = drawn && picture != nullptr && !picture->pixmap().isNull();
                names << (picture != nullptr ? picture->accessibleName() : QString());
            }
            if (auto* close = dialog.findChild<QAbstractButton*>(QStringLiteral("ctl_1"))) {
                closeText = close->text();
            }
            return ui::kIdOk;
        };
        messages.dialogs.clear();
        Open(e.page);
        auto* button = sheet->GetActivePage()->ItemAs<QAbstractButton>(1017);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_EQ(messages.dialogs.size(), 1u);
        EXPECT_EQ(messages.dialogs[0], QStringLiteral("dialog_%1").arg(e.dialog));
        EXPECT_TRUE(drawn);
        EXPECT_EQ(closeText, QStringLiteral("Close"));
        for (const QString& name : names) {
            EXPECT_FALSE(name.isEmpty());
        }
    }
}

}  // namespace
