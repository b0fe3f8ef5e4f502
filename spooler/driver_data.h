// How a driver data value is read from the text of a PPD keyword.
#pragma once

#include <string_view>
#include <vector>

namespace spooler {

// A decimal number that fits in 32 bits is the value's four bytes, least
// significant first (how such values are stored by drivers that keep them
// as binary data); any other text is its own bytes.
std::vector<unsigned char> DriverDataFromText(std::string_view text);

}  // namespace spooler
