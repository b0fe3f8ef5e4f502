// The sheet's three derived fonts, made once from the font of the first
// control they are asked for: small (one unit smaller), bold (weight 600)
// and large bold (three units larger, weight 600).
//
// A font's logical height follows the sign convention of the Windows tool:
// positive values are point sizes, negative values are pixel sizes (the
// character height). "Smaller" and "larger" act on the magnitude, so the
// sign is kept.
#pragma once

#include <QFont>

class QWidget;

class CFontSize {
public:
    CFontSize() = default;
    ~CFontSize() = default;

    void SetSmallFont(QWidget* control);
    void SetBoldFont(QWidget* control);
    void SetLargeBoldFont(QWidget* control);

    bool IsCreated() const { return m_bCreated; }
    const QFont& SmallFont() const { return m_small; }
    const QFont& BoldFont() const { return m_bold; }
    const QFont& LargeBoldFont() const { return m_largeBold; }

    static double LogicalHeight(const QFont& font);
    static QFont WithLogicalHeight(QFont font, double height);

private:
    void Create(const QWidget* control);

    bool m_bCreated = false;
    QFont m_small;
    QFont m_bold;
    QFont m_largeBold;
};
