#include "workflows/ip/ip4_page.h"

#include <QLineEdit>

#include "app/tovik_sheet.h"
#include "ui/char_filter.h"
#include "workflows/common/reported_operation.h"
#include "workflows/ip/ip_pages.h"

using kpm::workflows::RunReportingFailure;

bool CIp4Page::IsHostNameCharacter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
           u == u'-' || u == u'.';
}

void CIp4Page::OnInitDialog() {
    StepPage::OnInitDialog();
    if (auto* edit = ItemAs<QLineEdit>(kHostName)) {
        ui::SetCharacterFilter(edit, &CIp4Page::IsHostNameCharacter);
    }
}

bool CIp4Page::OnSetActive() {
    QString name;
    TheSheet()->GetHostName(name);
    SetItemText(kHostName, name);
    return StepPage::OnSetActive();
}

int CIp4Page::OnWizardBack() {
    return kpm::workflows::ip::BackToMethodPage(*TheSheet(), kTemplate);
}

int CIp4Page::OnWizardNext() {
    CTovikSheet& sheet = *TheSheet();
    sheet.SetReturnPage(kTemplate);
    const QString name = ItemText(kHostName);
    if (!RunReportingFailure(sheet, [&] { return sheet.WriteHostName(name); })) {
        return -1;
    }
    return kpm::workflows::ip::kDonePage;
}
