// IP address, step 2 of a static address (template 135): address, subnet
// mask and default gateway, shown as just read from the printer. The
// printer judges the values, not the page.
#pragma once

#include <cstdint>

#include "workflows/common/step_page.h"

class CIp1Page : public kpm::workflows::StepPage {
public:
    static constexpr int kTemplate = 135;
    static constexpr int kAddress = 1121;
    static constexpr int kMask = 1122;
    static constexpr int kGateway = 1123;
    // What the printer answers for an address and mask it refuses, and for
    // a gateway it refuses.
    static constexpr int kBadAddressOrMask = 12;
    static constexpr int kBadGateway = 13;

    CIp1Page()
        : StepPage({kTemplate,
                    {{1115, 193}, {1116, 220}, {1117, 221}, {1118, 222}, {1119, 223}, {1120, 224}},
                    {1115}}) {}

    bool OnSetActive() override;
    int OnWizardBack() override;
    int OnWizardNext() override;

private:
    std::uint32_t address_ = 0;
    std::uint32_t mask_ = 0;
    std::uint32_t gateway_ = 0;
};
