// Every dialog template loads, and every control in it is reachable by
// keyboard and named for screen readers.
#include <QAbstractButton>
#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include "ui/controls.h"
#include "ui/dialog_template.h"
#include "ui/ip_address_edit.h"

namespace {

std::vector<int> AllTemplateIds() {
    ui::HasDialogTemplate(0);  // makes sure the resources are registered
    std::vector<int> ids;
    QDirIterator it(QStringLiteral(":/dialogs"));
    while (it.hasNext()) {
        const QString name = it.next().section(QLatin1Char('/'), -1);
        ids.push_back(name.section(QLatin1Char('.'), 0, 0).toInt());
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

}  // namespace

TEST(DialogTemplates, AllTemplatesOfTheWizardExist) {
    const std::vector<int> expected{100, 102, 129, 130, 131, 132, 133, 134, 135, 136, 137,
                                    138, 139, 140, 141, 142, 196, 197, 201, 202, 228, 229,
                                    230, 231, 233, 234, 237, 252, 276, 277, 280, 281, 282,
                                    283, 297, 304, 306, 307, 308, 309, 310, 311};
    EXPECT_EQ(AllTemplateIds(), expected);
}

TEST(DialogTemplates, ControlsAreKeyboardReachableAndNamed) {
    for (int id : AllTemplateIds()) {
        SCOPED_TRACE(id);
        QWidget page;
        ASSERT_TRUE(ui::BuildDialogTemplate(id, &page));
        const auto labels = page.findChildren<QLabel*>();
        auto buddyOf = [&](const QWidget* w) {
            for (const QLabel* label : labels) {
                if (label->buddy() == w) {
                    return label;
                }
            }
            return static_cast<const QLabel*>(nullptr);
        };
        for (QWidget* w : page.findChildren<QWidget*>()) {
            const bool editable = qobject_cast<QComboBox*>(w) != nullptr ||
                                  qobject_cast<ui::IpAddressEdit*>(w) != nullptr ||
                                  (qobject_cast<QLineEdit*>(w) != nullptr &&
                                   qobject_cast<ui::IpAddressEdit*>(w->parentWidget()) == nullptr);
            if (editable) {
                EXPECT_TRUE(buddyOf(w) != nullptr || !w->accessibleName().isEmpty())
                    << w->objectName().toStdString() << " has no buddy label";
                EXPECT_TRUE(w->focusPolicy() & Qt::TabFocus) << w->objectName().toStdString();
            }
            if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                EXPECT_TRUE(!button->text().isEmpty() || !button->accessibleName().isEmpty())
                    << w->objectName().toStdString() << " has no text";
                EXPECT_TRUE(button->focusPolicy() & Qt::TabFocus) << w->objectName().toStdString();
            }
            // Ids are object names "ctl_<number>"; anything else is a layout
            // helper and must not look like an id.
            if (w->objectName().startsWith(QLatin1String("ctl_"))) {
                EXPECT_GE(ui::ControlId(w), 0) << w->objectName().toStdString();
            }
        }
    }
}
