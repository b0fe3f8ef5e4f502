#include "workflows/ip/ip1_page.h"

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "ui/ip_address_edit.h"
#include "workflows/common/printer_operation.h"
#include "workflows/ip/ip_pages.h"

using kpm::workflows::RunPrinterOperation;

bool CIp1Page::OnSetActive() {
    TheSheet()->GetIpSettings(address_, mask_, gateway_);
    for (const auto& [control, value] :
         {std::pair{kAddress, address_}, std::pair{kMask, mask_}, std::pair{kGateway, gateway_}}) {
        if (auto* edit = ItemAs<ui::IpAddressEdit>(control)) {
            edit->SetAddress(value);
        }
    }
    return StepPage::OnSetActive();
}

int CIp1Page::OnWizardBack() {
    return kpm::workflows::ip::BackToMethodPage(*TheSheet(), kTemplate);
}

int CIp1Page::OnWizardNext() {
    CTovikSheet& sheet = *TheSheet();
    sheet.SetReturnPage(kTemplate);
    auto value = [this](int control) {
        const auto* edit = ItemAs<ui::IpAddressEdit>(control);
        return edit != nullptr ? edit->Address() : 0u;
    };
    address_ = value(kAddress);
    mask_ = value(kMask);
    gateway_ = value(kGateway);
    const int code = RunPrinterOperation(
        sheet, [&] { return sheet.WriteIpSettings(address_, mask_, gateway_); });
    switch (code) {
        case 0:
            return 0;
        case kBadAddressOrMask:
            ShowInformation(225, this);
            return -1;
        case kBadGateway:
            ShowInformation(226, this);
            return -1;
        default:
            sheet.ShowErrorMessage(code);
            return -1;
    }
}
