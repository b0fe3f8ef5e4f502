// The printer operations of the wizard. Each performs one task on the
// printer named by m_strPrinterName: it opens the queue through the
// library's flat interface, makes one or two calls, closes the handle again,
// turns any result into the shared state or its output arguments, and
// returns the library's code (0 = success, otherwise a code for
// ShowErrorMessage). Nothing is kept open between operations.
//
// The wizard sheet is a PrinterFacade, so pages call these as the sheet's
// own operations. In demo mode every operation returns 0 without touching a
// printer; the operations that first store their arguments in the state
// (WriteIpMode, WriteIpSettings, WriteHostName, ResetFiring) store them
// there too, and always, whatever the printer answers.
//
// Results the library would never produce are refused rather than half
// taken: a data block shorter than the bytes read, a document that is not
// the expected JSON, or a schedule time that is not "HH:MM" give 1006
// (InvalidResponse) and change nothing.
//
// Every operation runs on the user-interface thread, except FetchLog, which
// the log page runs on its worker thread (it reads only the printer name and
// the demo flag, which nothing changes meanwhile).
#pragma once

#include <QString>

#include <array>
#include <cstdint>

#include "access/printer_state.h"
#include "bidi/capi/kpbidi.h"

namespace kpm::access {

class PrinterFacade : public PrinterState {
public:
    // Data blocks of the printer and the positions read from them.
    static constexpr int kNetworkBlock = 0x8011;
    static constexpr int kAlignmentBlock = 0x8013;
    static constexpr int kHeadBlock = 0x8016;
    // The identity demo mode reports.
    static constexpr const char* kDemoCode = "BKPM735H0000000";
    static constexpr const char* kDemoSerial = "A0000000";
    static constexpr const char* kDemoMac = "00-00-00-00-00-00";

    virtual ~PrinterFacade() = default;

    // Identity: the 18-digit code, the serial number and the MAC address.
    int ReadPrinterIdentity(QString& code, QString& serial, QString& mac);

    // Network settings.
    int ReadIpMode();
    void GetIpMode(std::uint8_t& mode) const { mode = m_bIpAuto; }
    int WriteIpMode(int automatic);
    int ReadIpSettings();
    void GetIpSettings(std::uint32_t& ip, std::uint32_t& mask, std::uint32_t& gateway) const;
    int WriteIpSettings(std::uint32_t ip, std::uint32_t mask, std::uint32_t gateway);
    int ReadHostName();
    void GetHostName(QString& name) const { name = m_strHostName; }
    int WriteHostName(const QString& name);

    // White-ink circulation schedule: `time` entries are hour * 256 + minute.
    int ReadCirculationSchedule();
    void GetCirculationSchedule(int& count, std::array<int, 8>& time,
                                std::array<int, 8>& enhanced) const;
    // Writes the first `count` (0 to 8; 0 cancels the schedule) entries;
    // the state is not changed. Another count gives 1000.
    int WriteCirculationSchedule(int count, const std::array<int, 8>& time,
                                 const std::array<int, 8>& enhanced);

    // The clock, in seconds since 1970-01-01 00:00 UTC.
    int SetPrinterClock(std::uint32_t seconds);

    // Streams the log to `callback` (see kpbidi_fetch_log).
    int FetchLog(kpbidi_log_callback callback, void* context);

    // Heads: V-ratings read from the printer; serial and V-rating written
    // for the head of m_nSelectedHead.
    int ReadHeadVRatings(int& colour, int& white);
    int WriteHeadSerial(const QString& serial);
    int WriteVRating(int value);

    // Firing of the combination m_nFiringCombination.
    int ResetFiring();
    int WriteFiringValues(int a, int b, int c, int d);

    // White/colour alignment.
    int ResetAlignment();
    int ReadAlignment(int& first, int& currentX);
    int WriteAlignment(int y, int x);

    // Platen rolling and feed.
    int ResetPlatenRolling();
    int WritePlatenRolling(int a, int b);
    int WriteFeedAdjustment(int a, int b, int c, int d);

    // Puts check pattern `resourceId` into the printer's queue (no library
    // call): 0, or 1000 (no such pattern), 1001 (no such queue), 1008.
    int SendCheckPattern(int resourceId);

protected:
    using OpenPrinterFunction = kpbidi_printer_tag* (*)(const char*, kpbidi_error_tag*);

    // Whether the program runs in demo mode.
    virtual bool InDemoMode() const = 0;

    // For tests: how the printer is opened (kpbidi_open_printer otherwise).
    void SetOpenPrinter(OpenPrinterFunction open) { openPrinter_ = open; }

private:
    template <typename Call, typename Decode>
    int Perform(Call&& call, Decode&& decode);
    template <typename Call>
    int Perform(Call&& call);

    OpenPrinterFunction openPrinter_ = kpbidi_open_printer;
};

}  // namespace kpm::access
