// IP address, step 2 of a static address (template 135): address, subnet
// mask and default gateway, shown as just read from the printer. The
// printer judges the values, not the page.
#pragma once

#include <cstdint>

#include "workflows/common/step_page.h"
#include "workflows/ip/ip_ids.h"

class CIp1Page : public kpm::workflows::StepPage {
public:
    // What the printer answers for an address and mask it refuses, and for
    // a gateway it refuses.
    static constexpr int kBadAddressOrMask = 12;
    static constexpr int kBadGateway = 13;

    CIp1Page();

    bool OnSetActive() override;
    int OnWizardBack() override;
    int OnWizardNext() override;

private:
    std::uint32_t address_ = 0;
    std::uint32_t mask_ = 0;
    std::uint32_t gateway_ = 0;
};
