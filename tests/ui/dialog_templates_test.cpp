// Every dialog template loads, every control in it is reachable by
// keyboard and named for screen readers, and every id the code names (the
// *_ids.h headers of the shell and the procedures) is where its name says.
#include <QAbstractButton>
#include <QComboBox>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <map>
#include <set>

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

struct NamedId {
    QString name;
    int value;
    QString header;
};

// The ids named in the headers beside the pages: "IDx_NAME = value;".
std::vector<NamedId> NamedIds() {
    std::vector<NamedId> ids;
    const QRegularExpression definition(
        QStringLiteral(R"(inline constexpr int (ID[A-Z]_\w+) = (-?\d+);)"));
    QDirIterator it(QStringLiteral(KPM_SOURCE_DIR), {QStringLiteral("*_ids.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.contains(QLatin1String("/build/"))) {
            continue;
        }
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QString text = QString::fromUtf8(file.readAll());
        for (const auto& match : definition.globalMatch(text)) {
            ids.push_back({match.captured(1), match.captured(2).toInt(), path});
        }
    }
    return ids;
}

// The control ids of template `id`, as built.
std::set<int> TemplateControls(int id) {
    QWidget page;
    EXPECT_TRUE(ui::BuildDialogTemplate(id, &page)) << id;
    std::set<int> controls;
    for (const QWidget* w : page.findChildren<QWidget*>()) {
        if (ui::ControlId(w) >= 0) {
            controls.insert(ui::ControlId(w));
        }
    }
    return controls;
}

}  // namespace

// IDD_X is a template; IDC_X_... a control of template IDD_X (the longest
// such X); an IDC_ of no template's name is shared and must be in one at
// least; IDS_ a text of the English table. Each name is defined once.
TEST(DialogTemplates, NamedIdsAreInTheirTemplates) {
    const std::vector<NamedId> ids = NamedIds();
    ASSERT_FALSE(ids.empty()) << "no *_ids.h under " << KPM_SOURCE_DIR;

    std::map<QString, int> templates;
    std::set<QString> names;
    for (const NamedId& id : ids) {
        EXPECT_TRUE(names.insert(id.name).second) << id.name.toStdString() << " defined twice";
        if (id.name.startsWith(QLatin1String("IDD_"))) {
            templates[id.name.mid(4)] = id.value;
            EXPECT_TRUE(ui::HasDialogTemplate(id.value)) << id.name.toStdString();
        }
    }
    std::map<int, std::set<int>> controls;
    std::set<int> anyTemplate;
    for (int id : AllTemplateIds()) {
        controls[id] = TemplateControls(id);
        anyTemplate.insert(controls[id].begin(), controls[id].end());
    }

    QFile english(QStringLiteral(KPM_SOURCE_DIR "/resources/strings/en.po"));
    ASSERT_TRUE(english.open(QIODevice::ReadOnly));
    const QString catalogue = QString::fromUtf8(english.readAll());

    int checked = 0;
    for (const NamedId& id : ids) {
        SCOPED_TRACE(id.header.toStdString());
        if (id.name.startsWith(QLatin1String("IDS_"))) {
            EXPECT_TRUE(catalogue.contains(QStringLiteral("msgctxt \"%1\"").arg(id.value)))
                << id.name.toStdString() << " = " << id.value << " is no text";
            continue;
        }
        if (!id.name.startsWith(QLatin1String("IDC_"))) {
            continue;
        }
        QString owner;
        for (const auto& [name, value] : templates) {
            if (id.name.startsWith(QStringLiteral("IDC_%1_").arg(name)) &&
                name.size() > owner.size()) {
                owner = name;
            }
        }
        if (owner.isEmpty()) {
            EXPECT_TRUE(anyTemplate.count(id.value) != 0)
                << id.name.toStdString() << " = " << id.value << " is in no template";
        } else {
            EXPECT_TRUE(controls[templates[owner]].count(id.value) != 0)
                << id.name.toStdString() << " = " << id.value << " is not in IDD_"
                << owner.toStdString() << " (" << templates[owner] << ")";
        }
        ++checked;
    }
    EXPECT_GT(checked, 200);
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
