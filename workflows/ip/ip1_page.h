// IP address, step 2 of a static address (template 135): address, subnet
// mask and default gateway, shown as just read from the printer. The
// printer judges the values, not the page.
#pragma once

#include <cstdint>

#include "workflows/common/procedure_page.h"

class CIp1Page : public kpm::workflows::ProcedurePage {
public:
    static constexpr int kTemplate = 135;
    static constexpr int kAddress = 1121;
    static constexpr int kMask = 1122;
    static constexpr int kGateway = 1123;
    // What the printer answers for an address and mask it refuses, and for
    // a gateway it refuses.
    static constexpr int kBadAddressOrMask = 12;
    static constexpr int kBadGateway = 13;

    CIp1Page() : ProcedurePage(kTemplate) {}

    bool OnSetActive() override;
    int OnWizardBack() override;
    int OnWizardNext() override;

protected:
    void OnInitDialog() override;

private:
    std::uint32_t address_ = 0;
    std::uint32_t mask_ = 0;
    std::uint32_t gateway_ = 0;
};
