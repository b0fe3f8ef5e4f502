// The installer's settings: the stand-in for the two registry values that the
// Windows installer writes ("SetupLangID", "SetupMode").
//
// The file holds one "Name = value" per line (after a UTF-8 byte-order mark,
// if the file starts with one); blank lines and lines starting
// with '#' or ';' are ignored, and so are "[section]" lines; a '#' or ';'
// after a blank (or right after the '=') starts a comment that ends the
// value ("SetupMode = 1   # 600 dpi" is the integer 1). Names match
// without regard to case, as registry value names do; when a name appears
// twice the later line wins. A value is a 32-bit integer when it is a decimal
// number from -2147483648 to 4294967295 or a hexadecimal one written 0x...
// up to 0xFFFFFFFF; anything else is a value of another type.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace platform {

struct SettingValue {
    enum class Kind { Missing, Integer, OtherType };
    Kind kind = Kind::Missing;
    std::uint32_t value = 0;  // the 32 bits of an Integer value

    bool IsInteger() const noexcept { return kind == Kind::Integer; }
};

class SettingsFile {
public:
    // Where the installer writes the file, and the environment variable that
    // names another file instead (for tests and unusual installations).
    static constexpr const char* kDefaultPath = "/etc/kpm-maintenance/setup.conf";
    static constexpr const char* kPathVariable = "KPM_SETUP_CONF";

    // The file to read: $KPM_SETUP_CONF when set and not empty, else kDefaultPath.
    static std::string Path();

    // The longest file read; a settings file is a few lines, and anything
    // longer (/dev/zero, a log named by mistake) is not one.
    static constexpr std::size_t kMaxSize = 64 * 1024;

    // Reads the file. A file that cannot be read, or is longer than
    // kMaxSize (file_too_large), gives an empty set and the reason in
    // `error`; no value is required, so callers usually ignore it.
    static SettingsFile Load(const std::string& path, std::error_code& error);
    static SettingsFile Parse(std::string_view text);

    SettingValue Get(std::string_view name) const;

private:
    std::vector<std::pair<std::string, std::string>> entries_;
};

// Parses one value by the rule above.
SettingValue ParseSettingValue(std::string_view text);

}  // namespace platform
