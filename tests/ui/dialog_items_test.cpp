#include "ui/dialog_items.h"

#include <QAccessible>
#include <QAccessibleEditableTextInterface>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "ui/char_filter.h"
#include "ui/controls.h"
#include "ui/dialog_template.h"
#include "ui/ip_address_edit.h"

namespace {

// The main page's template is a real one with every kind of control.
class TemplateTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ui::BuildDialogTemplate(102, &page)); }
    QWidget page;
    ui::DialogItems items{&page};
};

}  // namespace

TEST_F(TemplateTest, ControlsAreFoundByTheirIds) {
    EXPECT_NE(items.ItemAs<QComboBox>(1001), nullptr);
    EXPECT_NE(items.ItemAs<QRadioButton>(1141), nullptr);
    EXPECT_EQ(ui::ControlId(items.Item(1043)), 1043);
    EXPECT_EQ(ui::ControlId(&page), -1);
#ifndef NDEBUG
    // An id the template lacks is the page's mistake, and fails at once.
    EXPECT_THROW(items.Item(4242), ui::MissingControl);
    EXPECT_THROW(items.SetItemText(4242, QStringLiteral("x")), ui::MissingControl);
    EXPECT_THROW(items.IsItemChecked(4242), ui::MissingControl);
#else
    // Released, a missing control is ignored by setters and reads empty.
    EXPECT_EQ(items.Item(4242), nullptr);
    items.SetItemText(4242, QStringLiteral("x"));
    EXPECT_TRUE(items.ItemText(4242).isEmpty());
    EXPECT_FALSE(items.IsItemChecked(4242));
#endif
    // Before its template is built a page has no controls to miss.
    QWidget unbuilt;
    EXPECT_EQ(ui::DialogItems(&unbuilt).Item(1043), nullptr);
    // A second template cannot be built into the same widget.
    EXPECT_FALSE(ui::BuildDialogTemplate(102, &page));
    QWidget other;
    EXPECT_FALSE(ui::BuildDialogTemplate(4242, &other));
}

TEST_F(TemplateTest, TextsAreAlwaysPlain) {
    items.SetItemText(1043, QStringLiteral("<Note>\n<b>not bold</b>"));
    auto* label = items.ItemAs<QLabel>(1043);
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_EQ(items.ItemText(1043), QStringLiteral("<Note>\n<b>not bold</b>"));
    items.SetItemText(1002, QStringLiteral("Search"));
    EXPECT_EQ(items.ItemText(1002), QStringLiteral("Search"));
}

TEST_F(TemplateTest, ShowHideEnable) {
    items.ShowItem(1110, false);
    EXPECT_FALSE(items.IsItemVisible(1110));
    items.ShowItem(1110, true);
    EXPECT_TRUE(items.IsItemVisible(1110));
    items.EnableItem(1005, false);
    EXPECT_FALSE(items.IsItemEnabled(1005));
}

TEST_F(TemplateTest, RadiosOfAGroupCanAllBeCleared) {
    items.CheckItem(1141, true);
    items.CheckItem(1024, true);
    EXPECT_FALSE(items.IsItemChecked(1141));  // one group
    items.CheckItem(1024, false);
    EXPECT_FALSE(items.IsItemChecked(1024));
    EXPECT_FALSE(items.IsItemChecked(1141));
    // Still exclusive afterwards.
    items.CheckItem(1153, true);
    QTest::mouseClick(items.Item(1025), Qt::LeftButton);
    EXPECT_TRUE(items.IsItemChecked(1025));
    EXPECT_FALSE(items.IsItemChecked(1153));
    // The model radios are a group of their own.
    items.CheckItem(1110, true);
    EXPECT_TRUE(items.IsItemChecked(1025));
}

TEST_F(TemplateTest, SortedListKeepsItemValues) {
    auto* list = items.ItemAs<QComboBox>(1001);
    ui::AddComboItem(list, QStringLiteral("b-printer"), 2);
    ui::AddComboItem(list, QStringLiteral("A-printer"), 0x7F000001);
    ui::AddComboItem(list, QStringLiteral("c-printer"), 3);
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->itemText(0), QStringLiteral("A-printer"));
    EXPECT_EQ(ui::ComboItemValue(list, 0), 0x7F000001u);
    EXPECT_EQ(ui::ComboItemValue(list, 2), 3u);

    int changes = 0;
    items.OnSelChange(1001, [&] { ++changes; });
    items.SelectIndex(1001, 2);  // by the program: no notification
    EXPECT_EQ(items.SelectedIndex(1001), 2);
    EXPECT_EQ(changes, 0);
    items.SelectIndex(1001, 9);
    EXPECT_EQ(items.SelectedIndex(1001), -1);
}

TEST_F(TemplateTest, ClickNotification) {
    int clicks = 0;
    items.OnClicked(1002, [&] { ++clicks; });
    page.show();
    QTest::mouseClick(items.Item(1002), Qt::LeftButton);
    items.Item(1002)->setFocus();
    QTest::keyClick(items.Item(1002), Qt::Key_Space);
    EXPECT_EQ(clicks, 2);
}

TEST(CharacterFilter, OnlyAllowedTypedCharactersReachTheEdit) {
    QLineEdit edit;
    ui::SetCharacterFilter(&edit, [](QChar c) {
        return c == QLatin1Char('-') || c == QLatin1Char('.') ||
               (c.unicode() < 128 && c.isLetterOrNumber());
    });
    int changes = 0;
    QObject::connect(&edit, &QLineEdit::textChanged, [&] { ++changes; });
    edit.show();
    QTest::keyClicks(&edit, QStringLiteral("my_p 1-a.b"));
    EXPECT_EQ(edit.text(), QStringLiteral("myp1-a.b"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), QStringLiteral("myp1-a."));
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_EQ(edit.text(), QStringLiteral("yp1-a."));
    EXPECT_GT(changes, 0);

    // Ctrl+V is a typed control character: discarded, nothing pasted.
    QApplication::clipboard()->setText(QStringLiteral("x y"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), QStringLiteral("yp1-a."));
}

TEST(CharacterFilter, TextArrivingOtherwiseKeepsOnlyTheAllowedCharacters) {
    // Typing is the test above. Each way puts "x", disallowed characters and
    // "y" between the "a" and the "b" of "ab" (the accessibility bus's text at the start, a drop at
    // the end), or replaces the text.
    const QString mixed = QStringLiteral("x_\u00e9 ^\u00e0y");
    struct Way {
        const char* name;
        std::function<void(QLineEdit&)> put;
        QString text;
        int cursor;  // -1: where the way leaves it is not ours
    };
    const std::vector<Way> ways{
        {"input method commit (dead keys, composed characters)",
         [&](QLineEdit& e) {
             QInputMethodEvent event;
             event.setCommitString(mixed);
             QApplication::sendEvent(&e, &event);
         },
         "axyb", 3},
        {"paste",
         [&](QLineEdit& e) {
             QApplication::clipboard()->setText(mixed);
             e.paste();
         },
         "axyb", 3},
        {"insert", [&](QLineEdit& e) { e.insert(mixed); }, "axyb", 3},
        {"drop",
         [&](QLineEdit& e) {
             QMimeData data;
             data.setText(mixed);
             const QPoint end(e.width() - 2, e.height() / 2);
             QDragEnterEvent enter(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
             QApplication::sendEvent(&e, &enter);
             QDropEvent drop(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
             QApplication::sendEvent(&e, &drop);
         },
         "abxy", -1},
        {"accessibility: insert text",
         [&](QLineEdit& e) {
             QAccessible::queryAccessibleInterface(&e)->editableTextInterface()->insertText(0,
                                                                                            mixed);
         },
         "xyab", -1},
        {"accessibility: set the value",
         [&](QLineEdit& e) {
             QAccessible::queryAccessibleInterface(&e)->setText(QAccessible::Value, mixed);
         },
         "xy", -1},
        {"the program's setText", [&](QLineEdit& e) { e.setText(mixed); }, "xy", -1},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        QLineEdit edit;
        ui::SetCharacterFilter(&edit, [](QChar c) { return c.unicode() < 128 && c.isLetter(); });
        edit.setText(QStringLiteral("ab"));
        edit.setCursorPosition(1);
        edit.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
        edit.setFocus();
        way.put(edit);
        EXPECT_EQ(edit.text(), way.text);
        if (way.cursor >= 0) {
            EXPECT_EQ(edit.cursorPosition(), way.cursor);
        }
    }
}

TEST(IpAddressEdit, ValueAndTyping) {
    ui::IpAddressEdit edit;
    edit.SetAddress(0xC0A800FE);
    EXPECT_EQ(edit.Field(0)->text(), QStringLiteral("192"));
    EXPECT_EQ(edit.Field(3)->text(), QStringLiteral("254"));
    EXPECT_EQ(edit.Address(), 0xC0A800FEu);

    edit.Clear();
    EXPECT_TRUE(edit.IsBlank());
    edit.show();
    edit.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&edit));
    edit.Field(0)->setFocus();
    // Three digits or a dot move on; a fourth digit cannot overflow a field.
    QTest::keyClicks(edit.Field(0), QStringLiteral("10"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Period);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Period);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("255"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("7"));
    EXPECT_EQ(edit.Address(), (10u << 24) | (1u << 16) | (255u << 8) | 7u);
    // 300 is not a field value.
    edit.Field(3)->clear();
    QTest::keyClicks(edit.Field(3), QStringLiteral("300"));
    EXPECT_NE(edit.Field(3)->text(), QStringLiteral("300"));

    QLabel label(QStringLiteral("IP Address"));
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* named = new ui::IpAddressEdit;
    layout->addWidget(&label);
    layout->addWidget(named);
    label.setBuddy(named);
    window.show();
    EXPECT_EQ(named->Field(1)->accessibleName(), QStringLiteral("IP Address 2/4"));
    layout->removeWidget(&label);
    label.setParent(nullptr);
}
