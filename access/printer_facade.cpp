#include "access/printer_facade.h"

#include <QByteArray>

#include <memory>
#include <optional>
#include <string_view>
#include <type_traits>

#include "access/pattern_job.h"
#include "access/printer_results.h"
#include "bidi/capi/kpbidi_owned.h"

namespace kpm::access {
namespace {

using kpbidi::PrinterHandle;
using kpbidi::Text;
using DataBlock = kpbidi::DataRecord;

// Nothing to decode: the call's code is the result.
struct NoResult {};

// The flat interface takes these values as bytes; the head is 1 for the
// white head, 0 for the colour head.
int HeadOf(int selectedHead) {
    return selectedHead == 1 ? 1 : 0;
}

std::string_view View(const Text& text) {
    return text ? std::string_view(text.get()) : std::string_view();
}

}  // namespace

// The sequence every printer operation follows: demo check, open by the
// queue name in UTF-8, the call(s), close (also after a failure), decode on
// success, release what the library returned, return the code. Where two
// calls are made the second one's code counts: each call clears the record.
template <typename Call, typename Decode>
int PrinterFacade::Perform(Call&& call, Decode&& decode) {
    if (InDemoMode()) {
        return KPBIDI_OK;
    }
    const QByteArray name = m_strPrinterName.toUtf8();
    kpbidi_error_tag error{KPBIDI_OK, nullptr};
    PrinterHandle printer(openPrinter_(name.constData(), &error));
    if (error.code != KPBIDI_OK) {
        return error.code;
    }
    if (!printer) {
        return KPBIDI_UNEXPECTED;
    }
    auto result = call(printer.get(), &error);
    printer.reset();
    if (error.code != KPBIDI_OK) {
        return error.code;
    }
    return decode(result);
}

template <typename Call>
int PrinterFacade::Perform(Call&& call) {
    return Perform(
        [&](kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
            call(printer, error);
            return NoResult{};
        },
        [](const NoResult&) { return KPBIDI_OK; });
}

int PrinterFacade::ReadPrinterIdentity(QString& code, QString& serial, QString& mac) {
    if (InDemoMode()) {
        code = QString::fromLatin1(kDemoCode);
        serial = QString::fromLatin1(kDemoSerial);
        mac = QString::fromLatin1(kDemoMac);
        return KPBIDI_OK;
    }
    return Perform(
        [](kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
            return Text(kpbidi_get_printer_info(printer, error));
        },
        [&](const Text& document) {
            std::optional<PrinterIdentity> identity = DecodeIdentity(View(document));
            if (!identity) {
                return static_cast<int>(KPBIDI_INVALID_RESPONSE);
            }
            code = std::move(identity->code);
            serial = std::move(identity->serial);
            mac = std::move(identity->mac);
            return static_cast<int>(KPBIDI_OK);
        });
}

int PrinterFacade::ReadIpMode() {
    return Perform([](kpbidi_printer_tag* printer,
                      kpbidi_error_tag* error) { return kpbidi_get_ip_mode(printer, error); },
                   [this](int mode) {
                       m_bIpAuto = static_cast<std::uint8_t>(mode);
                       return static_cast<int>(KPBIDI_OK);
                   });
}

int PrinterFacade::WriteIpMode(int automatic) {
    m_bIpAuto = static_cast<std::uint8_t>(automatic);
    return Perform([this](kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
        kpbidi_set_ip_mode(printer, m_bIpAuto, error);
    });
}

int PrinterFacade::ReadIpSettings() {
    return Perform(
        [](kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
            return DataBlock(kpbidi_read_data(printer, kNetworkBlock, error));
        },
        [this](const DataBlock& block) {
            if (!block) {
                return static_cast<int>(KPBIDI_INVALID_RESPONSE);
            }
            const auto ip = BlockUint32(*block, 84);
            const auto mask = BlockUint32(*block, 88);
            const auto gateway = BlockUint32(*block, 92);
            if (!ip || !mask || !gateway) {
                return static_cast<int>(KPBIDI_INVALID_RESPONSE);
            }
            m_dwIpAddress = *ip;
            m_dwSubnetMask = *mask;
            m_dwGateway = *gateway;
            return static_cast<int>(KPBIDI_OK);
        });
}

void PrinterFacade::GetIpSettings(std::uint32_t& ip, std::uint32_t& mask,
                                  std::uint32_t& gateway) const {
    ip = m_dwIpAddress;
    mask = m_dwSubnetMask;
    gateway = m_dwGateway;
}

int PrinterFacade::WriteIpSettings(std::uint32_t ip, std::uint32_t mask, std::uint32_t gateway) {
    m_dwIpAddress = ip;
    m_dwSubnetMask = mask;
    m_dwGateway = gateway;
    return Perform([this](kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
        kpbidi_ip_settings_tag settings{};
        auto put = [](unsigned char(&out)[4], std::uint32_t value) {
            out[0] = static_cast<unsigned char>(value >> 24);
            out[1] = static_cast<unsigned char>(value >> 16);
            out[2] = static_cast<unsigned char>(value >> 8);
            out[3] = static_cast<unsigned char>(value);
        };
        put(settings.address, m_dwIpAddress);
        put(settings.subnet_mask, m_dwSubnetMask);
        put(settings.gateway, m_dwGateway);
        kpbidi_set_ip_settings(printer, &settings, error);
    });
}

int PrinterFacade::ReadHostName() {
    return Perform(
        [](kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
            return Text(kpbidi_get_host_name(printer, error));
        },
        [this](const Text& name) {
            if (!name) {
                return static_cast<int>(KPBIDI_INVALID_RESPONSE);
            }
            m_strHostName = QString::fromUtf8(name.get());
            return static_cast<int>(KPBIDI_OK);
        });
}

int PrinterFacade::WriteHostName(const QString& name) {
    m_strHostName = name;
    return Perform([this](kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
        const QByteArray utf8 = m_strHostName.toUtf8();
        kpbidi_set_host_name(printer, utf8.constData(), error);
    });
}

int PrinterFacade::ReadCirculationSchedule() {
    return Perform(
        [](kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
            return Text(kpbidi_get_circulation_schedule(printer, error));
        },
        [this](const Text& document) {
            const std::optional<CirculationSchedule> schedule = DecodeSchedule(View(document));
            if (!schedule) {
                return static_cast<int>(KPBIDI_INVALID_RESPONSE);
            }
            m_nScheduleCount = schedule->count;
            m_nScheduleTime = schedule->time;
            m_bScheduleEnhanced = schedule->enhanced;
            return static_cast<int>(KPBIDI_OK);
        });
}

void PrinterFacade::GetCirculationSchedule(int& count, std::array<int, 8>& time,
                                           std::array<int, 8>& enhanced) const {
    count = m_nScheduleCount;
    for (std::size_t i = 0; i < time.size() && static_cast<int>(i) < m_nScheduleCount; ++i) {
        time[i] = m_nScheduleTime[i];
        enhanced[i] = m_bScheduleEnhanced[i];
    }
}

int PrinterFacade::WriteCirculationSchedule(int count, const std::array<int, 8>& time,
                                            const std::array<int, 8>& enhanced) {
    if (InDemoMode()) {
        return KPBIDI_OK;
    }
    // The interface's count is a byte: 264 entries must not become 8.
    if (count < 0 || count > 8) {
        return KPBIDI_INVALID_ARGUMENT;
    }
    const kpbidi_schedule_tag schedule = EncodeSchedule(count, time, enhanced);
    return Perform([&](kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
        kpbidi_set_circulation_schedule(printer, &schedule, error);
    });
}

int PrinterFacade::SetPrinterClock(std::uint32_t seconds) {
    return Perform([seconds](kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
        kpbidi_set_clock(printer, std::uint64_t{seconds}, error);
    });
}

int PrinterFacade::FetchLog(kpbidi_log_callback callback, void* context) {
    return Perform([=](kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
        kpbidi_fetch_log(printer, callback, context, error);
    });
}

int PrinterFacade::ReadHeadVRatings(int& colour, int& white) {
    return Perform(
        [](kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
            return DataBlock(kpbidi_read_data(printer, kHeadBlock, error));
        },
        [&](const DataBlock& block) {
            const auto colourRating = block ? BlockByte(*block, 432) : std::nullopt;
            const auto whiteRating = block ? BlockByte(*block, 433) : std::nullopt;
            if (!colourRating || !whiteRating) {
                return static_cast<int>(KPBIDI_INVALID_RESPONSE);
            }
            colour = *colourRating;
            white = *whiteRating;
            return static_cast<int>(KPBIDI_OK);
        });
}

int PrinterFacade::WriteHeadSerial(const QString& serial) {
    return Perform([&](kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
        const QByteArray utf8 = serial.toUtf8();
        kpbidi_set_head_serial(printer, HeadOf(m_nSelectedHead), utf8.constData(), error);
    });
}

int PrinterFacade::WriteVRating(int value) {
    return Perform([&](kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
        kpbidi_set_head_v_rating(printer, HeadOf(m_nSelectedHead), value, error);
    });
}

int PrinterFacade::ResetFiring() {
    if (m_nFiringCombination >= 0 && m_nFiringCombination < 4) {
        m_bFiringDone[static_cast<std::size_t>(m_nFiringCombination)] = 0;
    }
    return Perform([this](kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
        if (IsWhiteCombination()) {
            kpbidi_reset_white_firing(printer, 1, error);
        } else {
            kpbidi_reset_color_firing(printer, 1, error);
        }
    });
}

// The white heads take their values in another order than the colour heads;
// 1200 dpi values travel doubled.
int PrinterFacade::WriteFiringValues(int a, int b, int c, int d) {
    if (InDemoMode()) {
        return KPBIDI_OK;
    }
    if (m_nFiringCombination < 0 || m_nFiringCombination > 3) {
        return KPBIDI_INVALID_ARGUMENT;
    }
    const int combination = m_nFiringCombination;
    return Perform([=](kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
        switch (combination) {
            case 0:
                kpbidi_set_color_firing(printer, 1, 2 * a, 2 * b, 2 * c, 2 * d, error);
                break;
            case 1:
                kpbidi_set_white_firing(printer, 1, 2 * d, 2 * c, 2 * a, 2 * b, error);
                break;
            case 2:
                kpbidi_set_color_firing(printer, 0, a, b, c, d, error);
                break;
            default:
                kpbidi_set_white_firing(printer, 0, d, c, a, b, error);
                break;
        }
    });
}

// Both resolutions are reset; the 600 dpi reset decides the result.
int PrinterFacade::ResetAlignment() {
    return Perform([](kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
        kpbidi_reset_alignment(printer, 1, error);
        kpbidi_reset_alignment(printer, 0, error);
    });
}

int PrinterFacade::ReadAlignment(int& first, int& currentX) {
    return Perform(
        [](kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
            return DataBlock(kpbidi_read_data(printer, kAlignmentBlock, error));
        },
        [&](const DataBlock& block) {
            const auto y = block ? BlockInt16(*block, 50) : std::nullopt;
            const auto x = block ? BlockInt16(*block, 42) : std::nullopt;
            if (!y || !x) {
                return static_cast<int>(KPBIDI_INVALID_RESPONSE);
            }
            first = *y;
            currentX = *x;
            return static_cast<int>(KPBIDI_OK);
        });
}

// The same offsets at both resolutions; the 600 dpi write decides the result.
int PrinterFacade::WriteAlignment(int y, int x) {
    return Perform([=](kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
        kpbidi_set_alignment(printer, 1, 2 * x, 2 * y, error);
        kpbidi_set_alignment(printer, 0, x, y, error);
    });
}

int PrinterFacade::ResetPlatenRolling() {
    return Perform([](kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
        kpbidi_reset_platen_rolling(printer, error);
    });
}

int PrinterFacade::WritePlatenRolling(int a, int b) {
    return Perform([=](kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
        kpbidi_set_platen_rolling(printer, b, a, error);
    });
}

int PrinterFacade::WriteFeedAdjustment(int a, int b, int c, int d) {
    return Perform([=](kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
        kpbidi_set_feed_adjustment(printer, a, b, c, d, error);
    });
}

int PrinterFacade::SendCheckPattern(int resourceId) {
    if (InDemoMode()) {
        return KPBIDI_OK;
    }
    return SendPatternJob(m_strPrinterName.toUtf8().toStdString(), resourceId);
}

}  // namespace kpm::access
