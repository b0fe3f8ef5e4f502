// The library's results as the wizard keeps them: the JSON documents read
// back by member name, and values at fixed positions of data blocks, most
// significant byte first. Anything the library would never produce (not
// JSON, a member missing, a block too short, a time that is not "HH:MM")
// gives no value, so the caller changes nothing.
#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "bidi/capi/kpbidi.h"

namespace kpm::access {

struct PrinterIdentity {
    QString code;    // "digits_18_code"
    QString serial;  // "serial_number"
    QString mac;     // "mac_address"
};

// The identity document {"digits_18_code":..,"mac_address":..,"serial_number":..}.
std::optional<PrinterIdentity> DecodeIdentity(std::string_view document);

// A circulation schedule in the wizard's encoding: `count` entries (0 to
// 8), each a time code hour * 256 + minute and 1 for the enhanced ("long")
// circulation, else 0.
struct CirculationSchedule {
    int count = 0;
    std::array<int, 8> time{};
    std::array<int, 8> enhanced{};
};

// The schedule document {"06:30":"long","13:00":"normal"}: its members in
// ascending order of their names (time order), the first 8 of them. Every
// name must be two digits, a colon and two digits.
std::optional<CirculationSchedule> DecodeSchedule(std::string_view document);

// The interface's schedule for the first `count` (0 to 8) entries: hour from
// bits 8-15 of the time code, minute from bits 0-7, kind 2 (long) for an
// enhanced entry, else 1 (normal); the other entries all zero.
kpbidi_schedule_tag EncodeSchedule(int count, const std::array<int, 8>& time,
                                   const std::array<int, 8>& enhanced);

// Values at `offset` of a data block, most significant byte first; none when
// the block ends before the value does.
std::optional<std::uint8_t> BlockByte(const kpbidi_data_tag& block, std::size_t offset);
std::optional<std::int16_t> BlockInt16(const kpbidi_data_tag& block, std::size_t offset);
std::optional<std::uint32_t> BlockUint32(const kpbidi_data_tag& block, std::size_t offset);

}  // namespace kpm::access
