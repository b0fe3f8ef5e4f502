#include "workflows/ip/ip4_page.h"

#include <QLineEdit>

#include "app/tovik_sheet.h"
#include "ui/char_filter.h"
#include "workflows/common/reported_operation.h"
#include "workflows/ip/ip_pages.h"

using kpm::workflows::RunReportingFailure;
using namespace kpm::ids;

CIp4Page::CIp4Page()
    : StepPage({IDD_IP4,
                {{IDC_IP4_CAPTION, IDS_STEP2},
                 {IDC_IP4_TITLE, IDS_IP_ENTER_HOST_NAME},
                 {IDC_IP4_INSTRUCTION, IDS_IP_HOST_NAME_INSTRUCTION},
                 {IDC_IP4_HOST_NAME_LABEL, IDS_IP_HOST_NAME},
                 {IDC_IP4_PRESS_NEXT, IDS_IP_PRESS_NEXT}},
                {IDC_IP4_CAPTION}}) {}

bool CIp4Page::IsHostNameCharacter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
           u == u'-' || u == u'.';
}

void CIp4Page::OnInitDialog() {
    StepPage::OnInitDialog();
    if (auto* edit = ItemAs<QLineEdit>(IDC_IP4_HOST_NAME)) {
        ui::SetCharacterFilter(edit, &CIp4Page::IsHostNameCharacter);
    }
}

bool CIp4Page::OnSetActive() {
    QString name;
    TheSheet()->GetHostName(name);
    SetItemText(IDC_IP4_HOST_NAME, name);
    return StepPage::OnSetActive();
}

int CIp4Page::OnWizardBack() {
    return kpm::workflows::ip::BackToMethodPage(*TheSheet(), IDD_IP4);
}

int CIp4Page::OnWizardNext() {
    CTovikSheet& sheet = *TheSheet();
    sheet.SetReturnPage(IDD_IP4);
    const QString name = ItemText(IDC_IP4_HOST_NAME);
    if (!RunReportingFailure(sheet, [&] { return sheet.WriteHostName(name); })) {
        return -1;
    }
    return IDD_IP2;
}
