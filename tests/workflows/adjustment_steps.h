// What the procedure tests do on a page as a user would: click a control of
// the active page (so its click handler runs), choose a selector's item,
// and find what the simulator was sent.
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/workflows/workflow_fixture.h"

namespace testing_support {

class AdjustmentTest : public WorkflowTest {
protected:
    using WorkflowTest::Click;
    // Clicks a button, radio or check box of the active page as the user
    // would (a radio in a wide row only on its indicator or text).
    void Click(int id) {
        auto* button = sheet->GetActivePage()->ItemAs<QAbstractButton>(id);
        ASSERT_NE(button, nullptr) << "no button " << id << " on " << Active();
        Click(button);
    }
    bool Checked(int id) const { return sheet->GetActivePage()->IsItemChecked(id); }
    bool Visible(int id) const { return sheet->GetActivePage()->IsItemVisible(id); }
    QString Text(int id) const { return sheet->GetActivePage()->ItemText(id); }
    void Choose(int selector, const QString& item) {
        auto* list = sheet->GetActivePage()->ItemAs<QComboBox>(selector);
        ASSERT_NE(list, nullptr) << "no selector " << selector;
        const int index = list->findText(item);
        ASSERT_GE(index, 0) << item.toStdString();
        list->setCurrentIndex(index);
    }
    QString Chosen(int selector) const {
        const auto* list = sheet->GetActivePage()->ItemAs<QComboBox>(selector);
        return list != nullptr ? list->currentText() : QString();
    }
    // Answers "Yes" on a confirmation page and presses Next.
    void ConfirmYes() {
        Click(1036);
        Next();
    }
};

}  // namespace testing_support
