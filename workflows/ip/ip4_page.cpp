#include "workflows/ip/ip4_page.h"

#include <QLineEdit>

#include "app/tovik_sheet.h"
#include "ui/char_filter.h"
#include "workflows/ip/ip_pages.h"

bool CIp4Page::IsHostNameCharacter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
           u == u'-' || u == u'.';
}

void CIp4Page::OnInitDialog() {
    TheSheet().SetBoldFont(Item(1260));
    SetTexts({{1260, 193}, {1261, 179}, {1262, 180}, {1127, 181}, {1263, 185}});
    if (auto* edit = ItemAs<QLineEdit>(kHostName)) {
        ui::SetCharacterFilter(edit, &CIp4Page::IsHostNameCharacter);
    }
}

bool CIp4Page::OnSetActive() {
    QString name;
    TheSheet().GetHostName(name);
    SetItemText(kHostName, name);
    TheSheet().SetWizardButtonsDeferred(ui::kWizBack | ui::kWizNext);
    return true;
}

int CIp4Page::OnWizardBack() {
    return kpm::workflows::ip::BackToMethodPage(TheSheet(), kTemplate);
}

int CIp4Page::OnWizardNext() {
    CTovikSheet& sheet = TheSheet();
    sheet.SetReturnPage(kTemplate);
    const QString name = ItemText(kHostName);
    const int code = RunOnPrinter([&] { return sheet.WriteHostName(name); });
    if (code != 0) {
        sheet.ShowErrorMessage(code);
        return -1;
    }
    return kpm::workflows::ip::kDonePage;
}
