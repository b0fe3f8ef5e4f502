// Everything the simulated printer remembers, its factory values, and its
// JSON form (the state file and the `state` dump of the control channel).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace kpm::sim {

// Index of the firing and alignment tables: the resolution flag on the wire.
enum Resolution : std::size_t { Dpi600 = 0, Dpi1200 = 1 };
// Index of the head tables: the head byte on the wire.
enum HeadKind : std::size_t { ColorHead = 0, WhiteHead = 1 };

struct ScheduleEntry {
    std::uint8_t hour = 0;
    std::uint8_t minute = 0;
    int kind = 1;  // 1 normal, 2 long (enhanced)

    bool operator==(const ScheduleEntry&) const = default;
};

// The order in which the log blocks of one reply travel.
enum class LogOrder { InOrder, Reverse, Pairs, Shuffle };

struct LogSettings {
    // Bytes of generated log; ignored when `text` is set.
    std::uint64_t size = 10501ull * 512;
    std::uint32_t blockSize = 512;
    LogOrder order = LogOrder::InOrder;
    std::uint32_t seed = 1;  // of the generated lines and of the shuffled order
    // A log given verbatim instead of the generated one.
    std::optional<std::string> text;

    bool operator==(const LogSettings&) const = default;
};

struct Alignment {
    std::int16_t x = 0;
    std::int16_t y = 0;

    bool operator==(const Alignment&) const = default;
};

struct HeadInfo {
    std::string serial;  // at most 8 bytes
    std::uint8_t vRating = 0;

    bool operator==(const HeadInfo&) const = default;
};

struct PrinterState {
    // Identity.
    std::string digits18Code;  // at most 18 bytes
    std::string serialNumber;  // at most 18 bytes
    std::array<std::uint8_t, 6> mac{};
    // IEEE 1284 device identifier served over SNMP; empty: built from the
    // identity (DeviceId()).
    std::string deviceId;

    // Network settings. Addresses in host order.
    int ipMode = 1;  // 1 automatic, 0 static
    std::uint32_t ipAddress = 0;
    std::uint32_t subnetMask = 0;
    std::uint32_t gateway = 0;
    std::string hostName;  // at most 32 bytes

    // Adjustments, as signed bytes in wire order.
    std::array<std::array<std::array<std::int8_t, 4>, 2>, 2> firing{};  // [resolution][head]
    std::array<Alignment, 2> alignment{};                               // [resolution]
    std::array<std::int8_t, 2> platenRolling{};
    std::array<std::int8_t, 4> feed{};

    std::array<HeadInfo, 2> heads{};  // [head]

    // The last clock setting as received: seconds since 2000-01-01 00:00 on
    // the wall clock of whoever set it. Unset on a new printer.
    std::optional<std::uint32_t> clockSeconds;

    std::vector<ScheduleEntry> schedule;  // at most 8 entries

    LogSettings log;

    // Commands that newer firmware added answer -210 when set.
    bool firmwareTooOld = false;

    bool operator==(const PrinterState&) const = default;
};

// A new printer out of the box.
PrinterState FactoryState();

// The device identifier the printer reports: state.deviceId, or one built
// from the identity when that is empty.
std::string DeviceId(const PrinterState& state);

nlohmann::json ToJson(const PrinterState& state);
// Members missing from `json` keep their factory values. Throws
// std::invalid_argument naming the member for a value of the wrong type or
// range.
PrinterState StateFromJson(const nlohmann::json& json);

// Whole-file save (written to a temporary file and renamed, so a crash
// never leaves half a state file) and load. Throw std::runtime_error.
void SaveState(const PrinterState& state, const std::filesystem::path& path);
PrinterState LoadState(const std::filesystem::path& path);

// Helpers shared with the control channel and the request log.
std::string FormatIPv4(std::uint32_t address);
std::optional<std::uint32_t> ParseIPv4(const std::string& text);
std::string FormatMac(const std::array<std::uint8_t, 6>& mac);
const char* LogOrderName(LogOrder order);
std::optional<LogOrder> ParseLogOrder(const std::string& name);
// "2024-05-01 12:00:00" for seconds since 2000-01-01 00:00.
std::string FormatSecondsSince2000(std::uint32_t seconds);

// Limits the printer itself enforces.
inline constexpr std::size_t kIdentityFieldSize = 18;
inline constexpr std::size_t kHostNameSize = 32;
inline constexpr std::size_t kHeadSerialSize = 8;
inline constexpr std::size_t kMaxScheduleEntries = 8;
inline constexpr std::uint8_t kMaxVRating = 17;

}  // namespace kpm::sim
