#include "workflows/common/value_selector.h"

#include <QComboBox>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

using kpm::workflows::FillFiringSelector;
using kpm::workflows::FillSignedSelector;
using kpm::workflows::PlusSign;
using kpm::workflows::SelectorValue;
using kpm::workflows::SelectValue;

QStringList Items(const QComboBox& list) {
    QStringList items;
    for (int i = 0; i < list.count(); ++i) {
        items << list.itemText(i);
    }
    return items;
}

struct FiringCase {
    int lowest;
    int highest;
    const char* items;
    const char* selected;
};

TEST(ValueSelector, FiringListFollowsItsBoundsAndSelectsFive) {
    const FiringCase cases[] = {
        {1, 9, "1 2 3 4 5 6 7 8 9", "5"},
        {3, 7, "3 4 5 6 7", "5"},
        {5, 5, "5", "5"},
        {9, 1, "5", "5"},
        {0, 12, "1 2 3 4 5 6 7 8 9", "5"},
    };
    for (const FiringCase& c : cases) {
        QComboBox list;
        list.addItem(QStringLiteral("left over"));
        FillFiringSelector(&list, c.lowest, c.highest);
        EXPECT_EQ(Items(list).join(' '), QString::fromLatin1(c.items))
            << c.lowest << ".." << c.highest;
        EXPECT_EQ(list.currentText(), QString::fromLatin1(c.selected));
        EXPECT_EQ(SelectorValue(&list), 5);
    }
}

struct SignedCase {
    int first;
    int last;
    PlusSign sign;
    int count;
    const char* head;  // the first three items
    int zeroIndex;
};

TEST(ValueSelector, SignedListsRunInTheirOrderWithTheirSignAndSelectZero) {
    const SignedCase cases[] = {
        {6, -6, PlusSign::Without, 13, "6 5 4", 6},
        {-6, 6, PlusSign::Without, 13, "-6 -5 -4", 6},
        {-10, 10, PlusSign::With, 21, "-10 -9 -8", 10},
        {10, -10, PlusSign::With, 21, "+10 +9 +8", 10},
        {-14, 14, PlusSign::With, 29, "-14 -13 -12", 14},
    };
    for (const SignedCase& c : cases) {
        QComboBox list;
        FillSignedSelector(&list, c.first, c.last, c.sign);
        const QStringList items = Items(list);
        ASSERT_EQ(items.size(), c.count) << c.first << ".." << c.last;
        EXPECT_EQ(items.mid(0, 3).join(' '), QString::fromLatin1(c.head));
        EXPECT_EQ(list.currentIndex(), c.zeroIndex);
        EXPECT_EQ(list.currentText(), QStringLiteral("0"));
        // Every item reads back as the number it shows, "+" or not.
        for (int i = 0; i < list.count(); ++i) {
            list.setCurrentIndex(i);
            const int step = c.first <= c.last ? 1 : -1;
            EXPECT_EQ(SelectorValue(&list), c.first + step * i) << items[i].toStdString();
        }
    }
}

TEST(ValueSelector, ReadingAndSelectingByValue) {
    QComboBox list;
    EXPECT_EQ(SelectorValue(&list), 0);  // nothing selected
    EXPECT_EQ(SelectorValue(nullptr), 0);
    FillSignedSelector(&list, 10, -10, PlusSign::With);
    EXPECT_TRUE(SelectValue(&list, 7));
    EXPECT_EQ(list.currentText(), QStringLiteral("+7"));
    EXPECT_TRUE(SelectValue(&list, -10));
    EXPECT_EQ(list.currentIndex(), 20);
    EXPECT_FALSE(SelectValue(&list, 11));
    EXPECT_EQ(list.currentIndex(), 20);
}

}  // namespace
