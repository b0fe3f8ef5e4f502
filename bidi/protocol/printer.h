// A printer and the operations the wizard performs on it. Each operation is
// one request through one exchange, decoded into a result record; the
// printer's status word is handed back, not raised.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bidi/communications/connector.h"
#include "bidi/protocol/exchange.h"
#include "bidi/protocol/packet.h"

namespace KpBidi {

struct PrinterInfo {
    std::int32_t status = 0;
    std::string digits18Code;
    std::string serialNumber;
    std::string macAddress;  // "00:1b:a9:0c:22:f7"
};

struct ScheduleEntry {
    std::uint8_t hour = 0;
    std::uint8_t minute = 0;
    std::int32_t kind = 0;  // 1 normal, 2 long circulation
};

// The input of SetCirculationSchedule; only the first `count` entries count.
struct ScheduleEntries {
    std::uint8_t count = 0;
    std::array<ScheduleEntry, 8> entries{};
};

struct CirculationSchedule : ScheduleEntries {
    std::int32_t status = 0;
};

struct IpModeResult {
    std::int32_t status = 0;
    std::int32_t mode = 0;
};

struct HostNameResult {
    std::int32_t status = 0;
    std::string text;  // exactly 32 bytes, zero bytes included
};

struct DataBlock {
    std::uint32_t value1 = 0;
    std::uint32_t value2 = 0;
    std::vector<unsigned char> data;
};

class Printer {
public:
    virtual ~Printer() = default;
    virtual std::string GetName() = 0;
    // A new connector on every call: how the printer is attached is looked up
    // afresh, so a changed port is seen by the next operation.
    virtual std::unique_ptr<communications::Connector> CreateConnector() = 0;

    // `time` in seconds since 1970-01-01 UTC; the printer receives its wall
    // clock reading as seconds since 2000-01-01 00:00 local time.
    std::int32_t SetClock(std::uint64_t time);
    std::int32_t SetCirculationSchedule(const ScheduleEntries& schedule);
    CirculationSchedule GetCirculationSchedule();
    std::int32_t SetIpMode(std::int32_t mode);
    IpModeResult GetIpMode();
    std::int32_t SetIpSettings(const std::array<unsigned char, 12>& settings);
    std::int32_t SetHostName(const char* text, std::size_t length);
    HostNameResult GetHostName();
    PrinterInfo GetPrinterInfo();
    std::int32_t SetHeadSerial(std::int32_t head, const char* serial, std::size_t length);
    std::int32_t SetHeadVRating(std::int32_t head, std::int32_t vRating);
    std::int32_t SendFiring(const std::array<unsigned char, 7>& bytes);
    std::int32_t SendAlignment(const std::array<unsigned char, 4>& bytes);
    std::int32_t SendPlatenRolling(const std::array<unsigned char, 3>& bytes);
    std::int32_t SendFeedAdjustment(const std::array<unsigned char, 4>& bytes);
    // Raises the printer's status when it is not 0.
    DataBlock ReadData(std::int32_t dataId);

    // How long each operation's exchange may take in all (kExchangeTimeLimit
    // unless changed); tests shorten it rather than wait a minute.
    void SetExchangeTimeLimit(std::chrono::milliseconds limit) noexcept {
        exchangeTimeLimit_ = limit;
    }
    std::chrono::milliseconds ExchangeTimeLimit() const noexcept { return exchangeTimeLimit_; }

    Printer() = default;
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;

private:
    std::chrono::milliseconds exchangeTimeLimit_ = kExchangeTimeLimit;
};

// The first reply command with `code`, going through the packets and their
// commands in order; Error(InvalidResponse) when there is none.
const Command& FindReply(const std::vector<Packet>& replies, std::uint16_t code);

// The first four bytes of a reply value as a signed big-endian number, or 0
// when the value is shorter.
std::int32_t ReplyStatus(const std::vector<unsigned char>& value) noexcept;

// Seconds from 2000-01-01 00:00 to the wall-clock reading of `time`, both on
// the local wall clock with daylight saving taken as not in effect, reduced
// to 32 bits. Error(InvalidArgument) for a time the local-time conversion
// cannot represent (after the year 3000).
std::uint32_t PrinterClockValue(std::uint64_t time);

// Sum of the data read as big-endian 32-bit words, the last one padded with
// zero bytes on the right, modulo 2^32.
std::uint32_t DataChecksum(const unsigned char* data, std::size_t size) noexcept;

}  // namespace KpBidi
