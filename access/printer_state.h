// The printer state the wizard's pages share for the whole run: what they
// have done (progress flags), what they read from and will write to the
// printer, and which printer they work on. The wizard sheet holds it; the
// printer operations read and write it.
#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace kpm::access {

struct PrinterState {
    // Firing combination c done (0 colour 1200 dpi, 1 white 1200 dpi,
    // 2 colour 600 dpi, 3 white 600 dpi) and head setting h done (0 colour,
    // 1 white): the progress flags, cleared together.
    std::array<int, 4> m_bFiringDone{};
    std::array<int, 2> m_bHeadSettingDone{};
    QString m_strLogFolder;
    int m_nColorVRating = 2;
    int m_nWhiteVRating = 2;
    // Non-zero: the printer takes its address from the network.
    std::uint8_t m_bIpAuto = 0;
    QString m_strHostName = QStringLiteral("ZEDora");
    // Host byte order.
    std::uint32_t m_dwIpAddress = 0xC0A80000;   // 192.168.0.0
    std::uint32_t m_dwSubnetMask = 0xFFFFFF00;  // 255.255.255.0
    std::uint32_t m_dwGateway = 0xC0A800FE;     // 192.168.0.254
    // White-ink circulation: m_nScheduleCount valid entries, each a time
    // code (hour * 256 + minute) and whether it is the enhanced circulation.
    int m_nScheduleCount = 0;
    std::array<int, 8> m_nScheduleTime{};
    std::array<int, 8> m_bScheduleEnhanced{};
    int m_bHasWhiteHeads = 1;
    int m_nFiringCombination = 0;
    int m_nSelectedHead = 0;
    // The print queue every printer operation opens.
    QString m_strPrinterName;
    // IPv4 address (host byte order) of a network printer, 0 for USB.
    int m_nPrinterAddress = 0;
    QString m_strLogFile;
    // Template id of the page that last handed on, -1 before any.
    int m_nReturnPage = -1;
    std::uint8_t m_byHeadChoice = 0;

    // True when the firing combination worked on is one of the white heads.
    bool IsWhiteCombination() const {
        return m_nFiringCombination == 1 || m_nFiringCombination == 3;
    }
};

}  // namespace kpm::access
