// Waiting for the wizard buttons a page asked for: they are deferred by a
// timer of the sheet, which a busy machine serves late, so a fixed wait is
// not enough.
#pragma once

#include <QTest>

#include "ui/property_sheet.h"

namespace testing_support {

inline bool SettleWizardButtons(const ui::PropertySheet& sheet, int minimumMs) {
    QTest::qWait(minimumMs);
    const bool settled = QTest::qWaitFor(
        [&sheet] {
            for (int flags = 0; flags < 16; ++flags) {
                if (sheet.IsTimerRunning(flags)) {
                    return false;
                }
            }
            return true;
        },
        5000);
    QTest::qWait(10);  // the posted request itself
    return settled;
}

}  // namespace testing_support
