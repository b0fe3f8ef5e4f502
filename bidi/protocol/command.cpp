#include "bidi/protocol/command.h"

namespace KpBidi {

int ReplyCodeFor(std::uint16_t requestCode) noexcept {
    switch (requestCode) {
        case CommandCode::ReadData:
            return ReplyCode::ReadData;
        case CommandCode::FetchLog:
            return ReplyCode::LogBlock;
        case CommandCode::SendFiring:
            return ReplyCode::SendFiring;
        case CommandCode::SendAlignment:
            return ReplyCode::SendAlignment;
        case CommandCode::SetIpSettings:
            return ReplyCode::SetIpSettings;
        case CommandCode::SetHeadVRating:
            return ReplyCode::SetHeadVRating;
        case CommandCode::SetHostName:
            return ReplyCode::SetHostName;
        case CommandCode::GetHostName:
            return ReplyCode::GetHostName;
        case CommandCode::SetIpMode:
            return ReplyCode::SetIpMode;
        case CommandCode::GetIpMode:
            return ReplyCode::GetIpMode;
        case CommandCode::GetPrinterInfo:
            return ReplyCode::GetPrinterInfo;
        case CommandCode::SendPlatenRolling:
            return ReplyCode::SendPlatenRolling;
        case CommandCode::SendFeedAdjustment:
            return ReplyCode::SendFeedAdjustment;
        case CommandCode::SetClock:
            return ReplyCode::SetClock;
        case CommandCode::SetCirculationSchedule:
            return ReplyCode::SetCirculationSchedule;
        case CommandCode::GetCirculationSchedule:
            return ReplyCode::GetCirculationSchedule;
        case CommandCode::SetHeadSerial:
            return ReplyCode::SetHeadSerial;
        default:
            return -1;
    }
}

}  // namespace KpBidi
