// The line a CUPS backend prints for each device it finds:
//   network socket://ADDRESS:9100 "MAKE AND MODEL" "INFO" "DEVICE-ID" ""
#pragma once

#include <string>
#include <string_view>

#include "bidi/communications/network_discovery.h"

namespace kpm::cups_backend {

// The make and model of the queue driver the printers get.
inline constexpr std::string_view kMakeAndModel = "Corvane KPM pro";
// The printers take jobs on the AppSocket port: queues use socket://.
inline constexpr int kJobPort = 9100;

// `text` fit for a quoted field of a device line: what the printer sent
// may hold quotes, backslashes or line ends that would end the field or the
// line, so every byte outside printable ASCII, every `"` and every `\`
// becomes `?`; and it is cut to `limit` bytes (cups-deviced's field sizes).
std::string QuotedField(std::string_view text, std::size_t limit);

// One device line, with its line end.
std::string DeviceLine(const KpBidi::NetworkPrinter& printer);

}  // namespace kpm::cups_backend
