#include "workflows/common/value_selector.h"

#include <QComboBox>
#include <QString>

namespace kpm::workflows {

namespace {

int ItemValue(const QComboBox* list, int index) {
    // Items are only ever our own decimal texts; anything else reads as 0,
    // as the wizard's integer conversion would have it.
    bool ok = false;
    const int value = list->itemText(index).trimmed().toInt(&ok, 10);
    return ok ? value : 0;
}

}  // namespace

void FillFiringSelector(QComboBox* list, int lowest, int highest) {
    if (list == nullptr) {
        return;
    }
    list->clear();
    for (int v = 1; v <= 4; ++v) {
        if (lowest <= v) {
            list->addItem(QString::number(v));
        }
    }
    list->addItem(QStringLiteral("5"));
    const int neutral = list->count() - 1;
    for (int v = 6; v <= 9; ++v) {
        if (highest >= v) {
            list->addItem(QString::number(v));
        }
    }
    list->setCurrentIndex(neutral);
}

void FillSignedSelector(QComboBox* list, int first, int last, PlusSign sign) {
    if (list == nullptr) {
        return;
    }
    list->clear();
    const int step = first <= last ? 1 : -1;
    for (int v = first;; v += step) {
        const bool plus = sign == PlusSign::With && v > 0;
        list->addItem((plus ? QStringLiteral("+") : QString()) + QString::number(v));
        if (v == last) {
            break;
        }
    }
    SelectValue(list, 0);
}

int SelectorValue(const QComboBox* list) {
    if (list == nullptr || list->currentIndex() < 0) {
        return 0;
    }
    return ItemValue(list, list->currentIndex());
}

bool SelectValue(QComboBox* list, int value) {
    if (list == nullptr) {
        return false;
    }
    for (int i = 0; i < list->count(); ++i) {
        if (ItemValue(list, i) == value) {
            list->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

}  // namespace kpm::workflows
