#include "workflows/ip/ip1_page.h"

#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "ui/ip_address_edit.h"
#include "workflows/common/printer_operation.h"
#include "workflows/ip/ip_pages.h"

using kpm::workflows::RunPrinterOperation;
using namespace kpm::ids;

CIp1Page::CIp1Page()
    : StepPage({IDD_IP1,
                {{IDC_IP1_CAPTION, IDS_STEP2},
                 {IDC_IP1_TITLE, IDS_IP_INPUT_ADDRESS},
                 {IDC_IP1_INSTRUCTION, IDS_IP_ADDRESS_INSTRUCTION},
                 {IDC_IP1_ADDRESS_LABEL, IDS_IP_ADDRESS},
                 {IDC_IP1_MASK_LABEL, IDS_IP_MASK},
                 {IDC_IP1_GATEWAY_LABEL, IDS_IP_GATEWAY}},
                {IDC_IP1_CAPTION}}) {}

bool CIp1Page::OnSetActive() {
    TheSheet()->GetIpSettings(address_, mask_, gateway_);
    for (const auto& [control, value] :
         {std::pair{IDC_IP1_ADDRESS, address_}, std::pair{IDC_IP1_MASK, mask_},
          std::pair{IDC_IP1_GATEWAY, gateway_}}) {
        if (auto* edit = ItemAs<ui::IpAddressEdit>(control)) {
            edit->SetAddress(value);
        }
    }
    return StepPage::OnSetActive();
}

int CIp1Page::OnWizardBack() {
    return kpm::workflows::ip::BackToMethodPage(*TheSheet(), IDD_IP1);
}

int CIp1Page::OnWizardNext() {
    CTovikSheet& sheet = *TheSheet();
    sheet.SetReturnPage(IDD_IP1);
    auto value = [this](int control) {
        const auto* edit = ItemAs<ui::IpAddressEdit>(control);
        return edit != nullptr ? edit->Address() : 0u;
    };
    address_ = value(IDC_IP1_ADDRESS);
    mask_ = value(IDC_IP1_MASK);
    gateway_ = value(IDC_IP1_GATEWAY);
    const int code = RunPrinterOperation(
        sheet, [&] { return sheet.WriteIpSettings(address_, mask_, gateway_); });
    switch (code) {
        case 0:
            return 0;
        case kBadAddressOrMask:
            ShowInformation(IDS_ERR_ASSIGN_ADDRESS, this);
            return -1;
        case kBadGateway:
            ShowInformation(IDS_ERR_ASSIGN_GATEWAY, this);
            return -1;
        default:
            sheet.ShowErrorMessage(code);
            return -1;
    }
}
