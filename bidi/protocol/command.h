// One tagged record of a packet, and the command codes of the protocol.
#pragma once

#include <cstdint>
#include <vector>

namespace KpBidi {

struct Command {
    std::uint16_t code = 0;
    std::vector<unsigned char> data;
};

// Codes this system sends, and the codes the printer answers them with.
namespace CommandCode {
inline constexpr std::uint16_t Status = 22;  // first command of every operation
inline constexpr std::uint16_t ReadData = 28;
inline constexpr std::uint16_t FetchLog = 35;
inline constexpr std::uint16_t SendFiring = 46;
inline constexpr std::uint16_t SendAlignment = 63;
inline constexpr std::uint16_t SetIpSettings = 65;
inline constexpr std::uint16_t SetHeadVRating = 72;
inline constexpr std::uint16_t SetHostName = 74;
inline constexpr std::uint16_t GetHostName = 75;
inline constexpr std::uint16_t SetIpMode = 76;
inline constexpr std::uint16_t GetIpMode = 77;
inline constexpr std::uint16_t GetPrinterInfo = 108;
inline constexpr std::uint16_t SendPlatenRolling = 109;
inline constexpr std::uint16_t SendFeedAdjustment = 114;
inline constexpr std::uint16_t SetClock = 128;
inline constexpr std::uint16_t SetCirculationSchedule = 130;
inline constexpr std::uint16_t GetCirculationSchedule = 131;
inline constexpr std::uint16_t SetHeadSerial = 136;
}  // namespace CommandCode

namespace ReplyCode {
inline constexpr std::uint16_t LogBlock = 6;
inline constexpr std::uint16_t ReadData = 7;
inline constexpr std::uint16_t SendFiring = 34;
inline constexpr std::uint16_t SendAlignment = 35;
inline constexpr std::uint16_t SetIpSettings = 45;
inline constexpr std::uint16_t SetHeadVRating = 52;
inline constexpr std::uint16_t SetHostName = 63;
inline constexpr std::uint16_t GetHostName = 64;
inline constexpr std::uint16_t SetIpMode = 65;
inline constexpr std::uint16_t GetIpMode = 66;
inline constexpr std::uint16_t GetPrinterInfo = 60;
inline constexpr std::uint16_t SendPlatenRolling = 61;
inline constexpr std::uint16_t SendFeedAdjustment = 62;
inline constexpr std::uint16_t SetClock = 80;
inline constexpr std::uint16_t SetCirculationSchedule = 82;
inline constexpr std::uint16_t GetCirculationSchedule = 83;
inline constexpr std::uint16_t SetHeadSerial = 88;
}  // namespace ReplyCode

// The reply code a printer answers a request code with, or -1 for a code
// that is not answered on its own (22) or not part of the protocol.
int ReplyCodeFor(std::uint16_t requestCode) noexcept;

}  // namespace KpBidi
