#include "app/font_size.h"

#include <QWidget>

double CFontSize::LogicalHeight(const QFont& font) {
    if (font.pixelSize() > 0) {
        return -font.pixelSize();
    }
    return font.pointSizeF();
}

QFont CFontSize::WithLogicalHeight(QFont font, double height) {
    if (height < 0) {
        font.setPixelSize(static_cast<int>(-height));
    } else if (height > 0) {
        font.setPointSizeF(height);
    }
    return font;
}

void CFontSize::Create(const QWidget* control) {
    if (m_bCreated) {
        return;
    }
    m_bCreated = true;
    const QFont base = control->font();
    const double h = LogicalHeight(base);
    m_small = WithLogicalHeight(base, h > 0 ? h - 1 : h + 1);
    m_bold = base;
    m_bold.setWeight(QFont::DemiBold);  // 600
    m_largeBold = WithLogicalHeight(base, h > 0 ? h + 3 : h - 3);
    m_largeBold.setWeight(QFont::DemiBold);
}

void CFontSize::SetSmallFont(QWidget* control) {
    if (control == nullptr) {
        return;
    }
    Create(control);
    control->setFont(m_small);
}

void CFontSize::SetBoldFont(QWidget* control) {
    if (control == nullptr) {
        return;
    }
    Create(control);
    control->setFont(m_bold);
}

void CFontSize::SetLargeBoldFont(QWidget* control) {
    if (control == nullptr) {
        return;
    }
    Create(control);
    control->setFont(m_largeBold);
}
