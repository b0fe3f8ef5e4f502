#include "workflows/common/local_time.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

#include "app/tovik_sheet.h"
#include "ui/property_page.h"

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

void TimeOfDayDisplay::Start(ui::PropertyPage& page) {
    Show(page);
    page.SetTimer(control_, kTickMs);
}

void TimeOfDayDisplay::OnTimer(ui::PropertyPage& page, int id) {
    if (id == control_) {
        Show(page);
    }
}

void TimeOfDayDisplay::Show(ui::PropertyPage& page) {
    text_ = TimeOfDayText(clock_());
    page.SetItemText(control_, text_);
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
