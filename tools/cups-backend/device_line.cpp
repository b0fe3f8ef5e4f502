#include "tools/cups-backend/device_line.h"

namespace kpm::cups_backend {
namespace {

// cups-deviced keeps 256 bytes of the informational fields and 2048 of the
// device identifier, terminating zero included.
constexpr std::size_t kInfoLimit = 255;
constexpr std::size_t kDeviceIdLimit = 1023;

}  // namespace

std::string QuotedField(std::string_view text, std::size_t limit) {
    std::string out;
    for (const char ch : text.substr(0, limit)) {
        const auto c = static_cast<unsigned char>(ch);
        out += (c < 0x20 || c > 0x7E || c == '"' || c == '\\') ? '?' : ch;
    }
    return '"' + out + '"';
}

std::string DeviceLine(const KpBidi::NetworkPrinter& printer) {
    const std::string makeAndModel(kMakeAndModel);
    std::string info = makeAndModel;
    if (!printer.serialNumber.empty()) {
        info += " (" + printer.serialNumber + ")";
    }
    // The address is one the discovery wrote itself as dotted text.
    return "network socket://" + printer.address + ":" + std::to_string(kJobPort) + " " +
           QuotedField(makeAndModel, kInfoLimit) + " " + QuotedField(info, kInfoLimit) + " " +
           QuotedField(printer.deviceId, kDeviceIdLimit) + " \"\"\n";
}

}  // namespace kpm::cups_backend
