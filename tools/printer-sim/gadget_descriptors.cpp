#include "tools/printer-sim/gadget_descriptors.h"

#include <linux/usb/ch9.h>
#include <linux/usb/functionfs.h>

#include <algorithm>

namespace kpm::sim {
namespace {

void Le16(std::vector<unsigned char>& out, unsigned value) {
    out.push_back(static_cast<unsigned char>(value));
    out.push_back(static_cast<unsigned char>(value >> 8));
}

void Le32(std::vector<unsigned char>& out, std::uint32_t value) {
    Le16(out, value & 0xFFFF);
    Le16(out, value >> 16);
}

void PatchLength(std::vector<unsigned char>& block) {
    const auto size = static_cast<std::uint32_t>(block.size());
    for (int i = 0; i < 4; ++i) {
        block[4 + i] = static_cast<unsigned char>(size >> (8 * i));
    }
}

// The interface and its two endpoints at one speed. FunctionFS maps the
// endpoint numbers to the controller's own; their files are ep1 (out) and
// ep2 (in), in this order.
void InterfaceAndEndpoints(std::vector<unsigned char>& out, std::uint16_t packet) {
    out.insert(out.end(),
               {USB_DT_INTERFACE_SIZE, USB_DT_INTERFACE, 0, 0, 2, USB_CLASS_PRINTER, 1, 2, 1});
    for (const unsigned char address : {1 | USB_DIR_OUT, 2 | USB_DIR_IN}) {
        out.insert(out.end(),
                   {USB_DT_ENDPOINT_SIZE, USB_DT_ENDPOINT, address, USB_ENDPOINT_XFER_BULK});
        Le16(out, packet);
        out.push_back(0);  // bInterval
    }
}

}  // namespace

std::vector<unsigned char> GadgetDescriptors() {
    std::vector<unsigned char> block;
    Le32(block, FUNCTIONFS_DESCRIPTORS_MAGIC_V2);
    Le32(block, 0);
    Le32(block, FUNCTIONFS_HAS_FS_DESC | FUNCTIONFS_HAS_HS_DESC);
    Le32(block, 3);  // descriptors at full speed
    Le32(block, 3);  // and at high speed
    InterfaceAndEndpoints(block, kGadgetFullSpeedPacket);
    InterfaceAndEndpoints(block, kGadgetHighSpeedPacket);
    PatchLength(block);
    return block;
}

std::vector<unsigned char> GadgetStrings() {
    std::vector<unsigned char> block;
    Le32(block, FUNCTIONFS_STRINGS_MAGIC);
    Le32(block, 0);
    Le32(block, 1);  // strings per language
    Le32(block, 1);  // languages
    Le16(block, 0x0409);
    for (const char c : std::string("KPM printer")) {
        block.push_back(static_cast<unsigned char>(c));
    }
    block.push_back(0);
    PatchLength(block);
    return block;
}

std::vector<unsigned char> DeviceIdReply(const std::string& deviceId, std::uint16_t maxLength) {
    const std::size_t text = std::min<std::size_t>(deviceId.size(), 0xFFFF - 2);
    const std::size_t length = text + 2;
    std::vector<unsigned char> reply{static_cast<unsigned char>(length >> 8),
                                     static_cast<unsigned char>(length)};
    reply.insert(reply.end(), deviceId.begin(), deviceId.begin() + static_cast<long>(text));
    reply.resize(std::min<std::size_t>(reply.size(), maxLength));
    return reply;
}

}  // namespace kpm::sim
