#include "spooler/device_uri.h"

#include "spooler/errors.h"
#include "spooler/monitors.h"

namespace spooler {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::string HostOfSocketUri(std::string_view uri, std::error_code& error) {
    error = make_error_code(Errc::Failed);
    constexpr std::string_view kPrefix = "socket://";
    if (SchemeOfDeviceUri(uri) != "socket" || uri.substr(0, kPrefix.size()) != kPrefix) {
        return {};
    }
    std::string_view authority = uri.substr(kPrefix.size());
    authority = authority.substr(0, authority.find_first_of("/?#"));
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    std::string_view host;
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos) {
            return {};
        }
        host = authority.substr(1, close - 1);
    } else {
        host = authority.substr(0, authority.find(':'));
    }
    const std::optional<std::string> decoded = PercentDecoded(host);
    if (!decoded) {
        return {};
    }
    if (decoded->empty()) {
        return {};
    }
    error.clear();
    return *decoded;
}

std::optional<std::string> PercentDecoded(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded.push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size() || HexValue(text[i + 1]) < 0 || HexValue(text[i + 2]) < 0) {
            return std::nullopt;
        }
        decoded.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
        i += 2;
    }
    return decoded;
}

}  // namespace spooler
