#include "spooler/driver_data.h"

#include <charconv>
#include <cstdint>

namespace spooler {

std::vector<unsigned char> DriverDataFromText(std::string_view text) {
    std::uint32_t number = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const bool digitsOnly = !text.empty() && text.find_first_not_of("0123456789") == text.npos;
    if (digitsOnly) {
        const auto [end, ec] = std::from_chars(first, last, number);
        if (ec == std::errc() && end == last) {
            return {static_cast<unsigned char>(number), static_cast<unsigned char>(number >> 8),
                    static_cast<unsigned char>(number >> 16),
                    static_cast<unsigned char>(number >> 24)};
        }
    }
    return {text.begin(), text.end()};
}

}  // namespace spooler
