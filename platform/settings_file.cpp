#include "platform/settings_file.h"

#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <limits>

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

// A '#' or ';' at the start of the value or after a blank starts a comment
// that runs to the end of the line.
std::string_view WithoutComment(std::string_view value) {
    for (std::size_t i = 0; i < value.size(); ++i) {
        if ((value[i] == '#' || value[i] == ';') &&
            (i == 0 || value[i - 1] == ' ' || value[i - 1] == '\t')) {
            return value.substr(0, i);
        }
    }
    return value;
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

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
    // Non-blocking, so that a FIFO nobody writes to reads as empty instead
    // of holding the wizard's start.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        error = {errno, std::generic_category()};
        return {};
    }
    std::string text(kMaxSize + 1, '\0');
    std::size_t got = 0;
    while (got < text.size()) {
        const ssize_t n = ::read(fd.get(), text.data() + got, text.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            error = {errno, std::generic_category()};
            return {};
        }
        if (n <= 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    if (got > kMaxSize) {
        error = std::make_error_code(std::errc::file_too_large);
        return {};
    }
    text.resize(got);
    return Parse(text);
}

SettingsFile SettingsFile::Parse(std::string_view text) {
    SettingsFile file;
    // Editors on Windows start a UTF-8 file with a byte-order mark; left in,
    // it would become part of the first name and hide that value.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
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
            file.entries_.emplace_back(std::string(name),
                                       std::string(Trim(WithoutComment(line.substr(eq + 1)))));
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
