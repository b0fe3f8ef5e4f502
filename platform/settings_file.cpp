#include "platform/settings_file.h"

#include <strings.h>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>

namespace platform {

namespace {

std::string_view Trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace

SettingValue ParseSettingValue(std::string_view text) {
    SettingValue result;
    result.kind = SettingValue::Kind::OtherType;
    text = Trim(text);
    if (text.empty()) {
        return result;
    }
    int base = 10;
    bool negative = false;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    } else if (text[0] == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty() || text[0] == '+' || text[0] == '-') {
        return result;
    }
    std::uint64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (ec != std::errc{} || end != text.data() + text.size()) {
        return result;
    }
    if (negative) {
        if (magnitude > 2147483648ULL) {
            return result;
        }
        result.value = static_cast<std::uint32_t>(-static_cast<std::int64_t>(magnitude));
    } else {
        if (magnitude > std::numeric_limits<std::uint32_t>::max()) {
            return result;
        }
        result.value = static_cast<std::uint32_t>(magnitude);
    }
    result.kind = SettingValue::Kind::Integer;
    return result;
}

std::string SettingsFile::Path() {
    if (const char* path = std::getenv(kPathVariable); path != nullptr && path[0] != '\0') {
        return path;
    }
    return kDefaultPath;
}

SettingsFile SettingsFile::Load(const std::string& path, std::error_code& error) {
    error.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = {errno != 0 ? errno : ENOENT, std::generic_category()};
        return {};
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        error = std::make_error_code(std::errc::io_error);
        return {};
    }
    return Parse(text.str());
}

SettingsFile SettingsFile::Parse(std::string_view text) {
    SettingsFile file;
    while (!text.empty()) {
        const auto eol = text.find('\n');
        std::string_view line = Trim(text.substr(0, eol));
        text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
        if (line.empty() || line[0] == '#' || line[0] == ';' || line[0] == '[') {
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string_view::npos) {
            continue;
        }
        const std::string_view name = Trim(line.substr(0, eq));
        if (!name.empty()) {
            file.entries_.emplace_back(std::string(name), std::string(Trim(line.substr(eq + 1))));
        }
    }
    return file;
}

SettingValue SettingsFile::Get(std::string_view name) const {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (EqualNoCase(it->first, name)) {
            return ParseSettingValue(it->second);
        }
    }
    return {};
}

}  // namespace platform
