#include "bidi/protocol/printer.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "bidi/capi/error.h"
#include "bidi/protocol/exchange.h"
#include "bidi/protocol/wire.h"

namespace KpBidi {
namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::size_t kNoMinimum = 0;

[[noreturn]] void BadArgument() {
    throw Error(InvalidArgument);
}
[[noreturn]] void BadReply() {
    throw Error(InvalidResponse);
}

Bytes U32Value(std::uint32_t first, std::uint32_t second) {
    Bytes value;
    value.reserve(8);
    wire::PutU32(value, first);
    wire::PutU32(value, second);
    return value;
}

// Byte i of a reply value, or 0 past its end.
unsigned char ByteAt(const Bytes& value, std::size_t i) {
    return i < value.size() ? value[i] : 0;
}

// Bytes [from, from + size) up to the first zero byte; bytes past the end
// of the value read as zero.
std::string TextAt(const Bytes& value, std::size_t from, std::size_t size) {
    std::string text;
    for (std::size_t i = from; i < from + size; ++i) {
        const unsigned char c = ByteAt(value, i);
        if (c == 0) {
            break;
        }
        text.push_back(static_cast<char>(c));
    }
    return text;
}

// The common procedure: id, connector, value (whose checks may raise
// InvalidArgument before anything is sent), exchange, reply, minimum length.
// Returns the reply command's value.
template <class BuildValue>
Bytes Perform(Printer& printer, std::uint16_t code, std::uint16_t replyCode, std::size_t minimum,
              BuildValue&& buildValue, bool withStatusCommand = true,
              std::size_t replyLimit = kMaxReplyBytes) {
    const std::uint32_t id = MakePacketId();
    const std::unique_ptr<communications::Connector> connector = printer.CreateConnector();
    Packet request = MakeRequest(id);
    if (withStatusCommand) {
        AddCommand(request, CommandCode::Status, Bytes(8, 0));
    }
    AddCommand(request, code, buildValue());
    std::vector<Packet> replies =
        ExchangePackets(*connector, request, replyLimit, printer.ExchangeTimeLimit());
    const Command& reply = FindReply(replies, replyCode);
    if (reply.data.size() < minimum) {
        BadReply();
    }
    // The reply lives in `replies`, which dies here; hand its value out.
    return std::move(const_cast<Command&>(reply).data);
}

Bytes Zeros8() {
    return Bytes(8, 0);
}

}  // namespace

const Command& FindReply(const std::vector<Packet>& replies, std::uint16_t code) {
    for (const Packet& packet : replies) {
        for (const PacketCommand& command : packet.commands) {
            if (command.code == code) {
                return command;
            }
        }
    }
    BadReply();
}

std::int32_t ReplyStatus(const std::vector<unsigned char>& value) noexcept {
    if (value.size() < 4) {
        return 0;
    }
    return static_cast<std::int32_t>(wire::GetU32(value.data()));
}

std::uint32_t PrinterClockValue(std::uint64_t time) {
    // The local-time conversion of the original accepts up to the end of the
    // year 3000; later times are refused rather than sent wrapped.
    constexpr std::uint64_t kLastConvertible = 32'535'244'799;  // 3001-01-01 00:00 UTC, less 1 s
    if (time > kLastConvertible) {
        BadArgument();
    }
    const auto t = static_cast<std::time_t>(time);
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr) {
        BadArgument();
    }
    local.tm_isdst = 0;
    const std::time_t wallClock = std::mktime(&local);

    std::tm epoch{};
    epoch.tm_year = 100;
    epoch.tm_mon = 0;
    epoch.tm_mday = 1;
    epoch.tm_isdst = 0;
    const std::time_t base = std::mktime(&epoch);
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(wallClock) -
                                      static_cast<std::int64_t>(base));
}

std::uint32_t DataChecksum(const unsigned char* data, std::size_t size) noexcept {
    std::uint32_t sum = 0;
    std::size_t i = 0;
    for (; i + 4 <= size; i += 4) {
        sum += wire::GetU32(data + i);
    }
    if (i < size) {
        unsigned char last[4] = {0, 0, 0, 0};
        std::copy(data + i, data + size, last);
        sum += wire::GetU32(last);
    }
    return sum;
}

std::int32_t Printer::SetClock(std::uint64_t time) {
    const Bytes reply = Perform(*this, CommandCode::SetClock, ReplyCode::SetClock, 16,
                                [&] { return U32Value(PrinterClockValue(time), 0); });
    return ReplyStatus(reply);
}

std::int32_t Printer::SetCirculationSchedule(const ScheduleEntries& schedule) {
    const Bytes reply = Perform(
        *this, CommandCode::SetCirculationSchedule, ReplyCode::SetCirculationSchedule, 8, [&] {
            if (schedule.count > schedule.entries.size()) {
                BadArgument();
            }
            if (schedule.count == 0) {
                // One entry at hour and minute 255 stands for "none".
                return Bytes{0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0xFF, 0xFF};
            }
            Bytes value{schedule.count, 0, 0, 0};
            for (std::size_t i = 0; i < schedule.count; ++i) {
                const ScheduleEntry& e = schedule.entries[i];
                if ((e.kind != 1 && e.kind != 2) || e.hour > 23 || e.minute > 59) {
                    BadArgument();
                }
                value.insert(value.end(),
                             {static_cast<unsigned char>(e.kind), 0, e.hour, e.minute});
            }
            return value;
        });
    return ReplyStatus(reply);
}

CirculationSchedule Printer::GetCirculationSchedule() {
    const Bytes reply = Perform(*this, CommandCode::GetCirculationSchedule,
                                ReplyCode::GetCirculationSchedule, kNoMinimum, Zeros8);
    CirculationSchedule result;
    result.status = ReplyStatus(reply);
    const std::size_t count = reply.size() >= 5 ? reply[4] : 0;
    if (count > result.entries.size() || reply.size() < 8 + 4 * count) {
        BadReply();
    }
    result.count = static_cast<std::uint8_t>(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = 8 + 4 * i;
        const unsigned char kind = ByteAt(reply, at);
        const unsigned char hour = ByteAt(reply, at + 2);
        const unsigned char minute = ByteAt(reply, at + 3);
        if (hour == 0xFF && minute == 0xFF) {
            result.count = 0;  // the printer's mark for an empty schedule
            break;
        }
        if (kind != 1 && kind != 2) {
            BadArgument();
        }
        if (hour > 23 || minute > 59) {
            BadReply();
        }
        result.entries[i] = ScheduleEntry{hour, minute, kind};
    }
    if (result.count == 0) {
        result.entries = {};
    }
    return result;
}

std::int32_t Printer::SetIpMode(std::int32_t mode) {
    const Bytes reply = Perform(*this, CommandCode::SetIpMode, ReplyCode::SetIpMode, 8, [&] {
        if (static_cast<std::uint32_t>(mode) > 1) {
            BadArgument();
        }
        return U32Value(static_cast<std::uint32_t>(mode), 0);
    });
    return ReplyStatus(reply);
}

IpModeResult Printer::GetIpMode() {
    const Bytes reply =
        Perform(*this, CommandCode::GetIpMode, ReplyCode::GetIpMode, kNoMinimum, Zeros8);
    IpModeResult result;
    result.mode = reply.size() >= 8 ? static_cast<std::int32_t>(wire::GetU32(&reply[4])) : 0;
    if (result.mode != 0 && result.mode != 1) {
        BadArgument();
    }
    result.status = ReplyStatus(reply);
    return result;
}

std::int32_t Printer::SetIpSettings(const std::array<unsigned char, 12>& settings) {
    const Bytes reply = Perform(*this, CommandCode::SetIpSettings, ReplyCode::SetIpSettings, 8,
                                [&] { return Bytes(settings.begin(), settings.end()); });
    return ReplyStatus(reply);
}

std::int32_t Printer::SetHostName(const char* text, std::size_t length) {
    const Bytes reply = Perform(*this, CommandCode::SetHostName, ReplyCode::SetHostName, 8, [&] {
        Bytes value(32, 0);
        std::copy_n(text, std::min<std::size_t>(length, 32), value.begin());
        return value;
    });
    return ReplyStatus(reply);
}

HostNameResult Printer::GetHostName() {
    const Bytes reply =
        Perform(*this, CommandCode::GetHostName, ReplyCode::GetHostName, 36, Zeros8);
    return HostNameResult{ReplyStatus(reply), std::string(reply.begin() + 4, reply.begin() + 36)};
}

PrinterInfo Printer::GetPrinterInfo() {
    const Bytes reply =
        Perform(*this, CommandCode::GetPrinterInfo, ReplyCode::GetPrinterInfo, 16, Zeros8);
    PrinterInfo info;
    info.status = ReplyStatus(reply);
    info.digits18Code = TextAt(reply, 4, 18);
    info.serialNumber = TextAt(reply, 22, 18);
    char mac[18];
    std::snprintf(mac, sizeof mac, "%02x:%02x:%02x:%02x:%02x:%02x", ByteAt(reply, 40),
                  ByteAt(reply, 41), ByteAt(reply, 42), ByteAt(reply, 43), ByteAt(reply, 44),
                  ByteAt(reply, 45));
    info.macAddress = mac;
    return info;
}

std::int32_t Printer::SetHeadSerial(std::int32_t head, const char* serial, std::size_t length) {
    const Bytes reply =
        Perform(*this, CommandCode::SetHeadSerial, ReplyCode::SetHeadSerial, 16, [&] {
            if (static_cast<std::uint32_t>(head) > 1 || length > 8) {
                BadArgument();
            }
            Bytes value;
            value.reserve(12);
            wire::PutU32(value, static_cast<std::uint32_t>(head));
            value.insert(value.end(), serial, serial + length);
            value.resize(12, 0);
            return value;
        });
    return ReplyStatus(reply);
}

std::int32_t Printer::SetHeadVRating(std::int32_t head, std::int32_t vRating) {
    const Bytes reply =
        Perform(*this, CommandCode::SetHeadVRating, ReplyCode::SetHeadVRating, 16, [&] {
            if (static_cast<std::uint32_t>(head) > 1 || static_cast<std::uint32_t>(vRating) > 17) {
                BadArgument();
            }
            return U32Value(static_cast<std::uint32_t>(head), static_cast<std::uint32_t>(vRating));
        });
    return ReplyStatus(reply);
}

std::int32_t Printer::SendFiring(const std::array<unsigned char, 7>& b) {
    const Bytes reply = Perform(*this, CommandCode::SendFiring, ReplyCode::SendFiring, 16, [&] {
        return Bytes{b[0], b[1], static_cast<unsigned char>(b[2] != 0 ? 1 : 0), b[3], b[4], b[5],
                     b[6], 0};
    });
    return ReplyStatus(reply);
}

std::int32_t Printer::SendAlignment(const std::array<unsigned char, 4>& b) {
    const Bytes reply =
        Perform(*this, CommandCode::SendAlignment, ReplyCode::SendAlignment, 16, [&] {
            if (b[1] >= 2) {
                BadArgument();
            }
            return Bytes{static_cast<unsigned char>(b[1] == 1 ? 1 : 0),
                         static_cast<unsigned char>(b[0] != 0 ? 1 : 0),
                         b[2],
                         b[3],
                         0,
                         0,
                         0,
                         0};
        });
    return ReplyStatus(reply);
}

std::int32_t Printer::SendPlatenRolling(const std::array<unsigned char, 3>& b) {
    const Bytes reply =
        Perform(*this, CommandCode::SendPlatenRolling, ReplyCode::SendPlatenRolling, 16, [&] {
            return Bytes{static_cast<unsigned char>(b[0] != 0 ? 1 : 0), b[1], b[2], 0, 0, 0, 0, 0};
        });
    return ReplyStatus(reply);
}

std::int32_t Printer::SendFeedAdjustment(const std::array<unsigned char, 4>& b) {
    const Bytes reply =
        Perform(*this, CommandCode::SendFeedAdjustment, ReplyCode::SendFeedAdjustment, 16,
                [&] { return Bytes{b[0], b[1], b[2], b[3], 0, 0, 0, 0}; });
    return ReplyStatus(reply);
}

DataBlock Printer::ReadData(std::int32_t dataId) {
    Bytes reply = Perform(
        *this, CommandCode::ReadData, ReplyCode::ReadData, 4,
        [&] { return U32Value(static_cast<std::uint32_t>(dataId), 0); }, false, kMaxDataReplyBytes);
    if (const std::int32_t status = ReplyStatus(reply); status != 0) {
        throw Error(status);
    }
    if (reply.size() < 24) {
        BadReply();
    }
    DataBlock block;
    block.value1 = wire::GetU32(&reply[8]);
    block.value2 = wire::GetU32(&reply[12]);
    const std::uint64_t n = wire::GetU32(&reply[16]);
    if (reply.size() < n + 24) {
        BadReply();
    }
    const unsigned char* data = reply.data() + 20;
    if (DataChecksum(data, n) != wire::GetU32(data + n)) {
        BadReply();
    }
    // The block keeps the reply's own storage: the data moves to its front
    // in place rather than into a second buffer of the same size.
    reply.erase(reply.begin(), reply.begin() + 20);
    reply.resize(n);
    block.data = std::move(reply);
    return block;
}

}  // namespace KpBidi
