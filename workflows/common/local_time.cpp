#include "workflows/common/local_time.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

#include "app/tovik_sheet.h"

namespace kpm::workflows {

QDateTime SystemNow() {
    return QDateTime::currentDateTime();
}

QString TimeOfDayText(const QDateTime& now) {
    return now.toLocalTime().toString(QStringLiteral("HH:mm"));
}

std::uint32_t PrinterClockSeconds(const QDateTime& now) {
    return static_cast<std::uint32_t>(now.toSecsSinceEpoch());
}

void MakeDateWarning(CTovikSheet& sheet, QWidget* control) {
    if (control == nullptr) {
        return;
    }
    sheet.SetLargeBoldFont(control);
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    control->setPalette(palette);
}

}  // namespace kpm::workflows
