#include "access/printer_results.h"

#include <nlohmann/json.hpp>

namespace kpm::access {
namespace {

std::optional<nlohmann::json> ParseObject(std::string_view document) {
    nlohmann::json parsed = nlohmann::json::parse(document, nullptr, /*allow_exceptions=*/false);
    if (!parsed.is_object()) {  // also what a parse error gives (discarded)
        return std::nullopt;
    }
    return parsed;
}

std::optional<QString> StringMember(const nlohmann::json& object, const char* name) {
    const auto member = object.find(name);
    if (member == object.end() || !member->is_string()) {
        return std::nullopt;
    }
    return QString::fromStdString(member->get_ref<const std::string&>());
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// "HH:MM" as hour * 256 + minute.
std::optional<int> TimeCode(const std::string& name) {
    if (name.size() != 5 || !IsDigit(name[0]) || !IsDigit(name[1]) || name[2] != ':' ||
        !IsDigit(name[3]) || !IsDigit(name[4])) {
        return std::nullopt;
    }
    const int hour = (name[0] - '0') * 10 + (name[1] - '0');
    const int minute = (name[3] - '0') * 10 + (name[4] - '0');
    return hour * 256 + minute;
}

bool Holds(const kpbidi_data_tag& block, std::size_t offset, std::size_t size) {
    return block.data != nullptr && offset <= block.size && size <= block.size - offset;
}

}  // namespace

std::optional<PrinterIdentity> DecodeIdentity(std::string_view document) {
    const std::optional<nlohmann::json> object = ParseObject(document);
    if (!object) {
        return std::nullopt;
    }
    std::optional<QString> code = StringMember(*object, "digits_18_code");
    std::optional<QString> serial = StringMember(*object, "serial_number");
    std::optional<QString> mac = StringMember(*object, "mac_address");
    if (!code || !serial || !mac) {
        return std::nullopt;
    }
    return PrinterIdentity{std::move(*code), std::move(*serial), std::move(*mac)};
}

std::optional<CirculationSchedule> DecodeSchedule(std::string_view document) {
    const std::optional<nlohmann::json> object = ParseObject(document);
    if (!object) {
        return std::nullopt;
    }
    // The object's members come in ascending order of their names, which
    // for "HH:MM" is time order.
    CirculationSchedule schedule;
    for (const auto& [name, value] : object->items()) {
        const std::optional<int> time = TimeCode(name);
        if (!time) {
            return std::nullopt;
        }
        if (schedule.count < static_cast<int>(schedule.time.size())) {
            const auto i = static_cast<std::size_t>(schedule.count);
            schedule.time[i] = *time;
            schedule.enhanced[i] =
                value.is_string() && value.get_ref<const std::string&>() == "long";
            ++schedule.count;
        }
    }
    return schedule;
}

kpbidi_schedule_tag EncodeSchedule(int count, const std::array<int, 8>& time,
                                   const std::array<int, 8>& enhanced) {
    kpbidi_schedule_tag schedule{};
    const int n = count < 0 ? 0 : (count > 8 ? 8 : count);
    schedule.count = static_cast<std::uint8_t>(n);
    for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
        schedule.entries[i].hour = static_cast<std::uint8_t>((time[i] >> 8) & 0xFF);
        schedule.entries[i].minute = static_cast<std::uint8_t>(time[i] & 0xFF);
        schedule.entries[i].kind = enhanced[i] != 0 ? 2 : 1;
    }
    return schedule;
}

std::optional<std::uint8_t> BlockByte(const kpbidi_data_tag& block, std::size_t offset) {
    if (!Holds(block, offset, 1)) {
        return std::nullopt;
    }
    return block.data[offset];
}

std::optional<std::int16_t> BlockInt16(const kpbidi_data_tag& block, std::size_t offset) {
    if (!Holds(block, offset, 2)) {
        return std::nullopt;
    }
    const auto value =
        static_cast<std::uint16_t>((block.data[offset] << 8) | block.data[offset + 1]);
    return static_cast<std::int16_t>(value);
}

std::optional<std::uint32_t> BlockUint32(const kpbidi_data_tag& block, std::size_t offset) {
    if (!Holds(block, offset, 4)) {
        return std::nullopt;
    }
    const unsigned char* p = block.data + offset;
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

}  // namespace kpm::access
