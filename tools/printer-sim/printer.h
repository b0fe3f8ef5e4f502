// The simulated printer itself: what it does with each command, its panel,
// its print queue, its faults and its request log. It knows nothing of
// sockets or envelopes; a transport hands it a decoded request packet and
// writes out the Response it returns (see session.h).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "bidi/protocol/packet.h"
#include "tools/printer-sim/faults.h"
#include "tools/printer-sim/packet_writer.h"
#include "tools/printer-sim/printer_state.h"
#include "tools/printer-sim/request_log.h"

namespace kpm::sim {

// Status words the printer answers with.
namespace Status {
inline constexpr std::int32_t Ok = 0;
inline constexpr std::int32_t Failed = 6;          // unknown command or data block
inline constexpr std::int32_t Rejected = 7;        // a value out of range or malformed
inline constexpr std::int32_t BadAddress = 12;     // address or subnet mask invalid
inline constexpr std::int32_t BadGateway = 13;     // gateway outside the subnet
inline constexpr std::int32_t Operating = 14;      // busy printing
inline constexpr std::int32_t BadClock = 19;       // a clock before 2018-01-01
inline constexpr std::int32_t OldFirmware = -210;  // command unknown to old firmware
}  // namespace Status

// Seconds from 2000-01-01 to 2018-01-01: earlier clock settings answer 19.
inline constexpr std::uint32_t kEarliestClock = 568080000;

// The reply to one request, before framing.
struct Response {
    // Each inner list is one network payload (one envelope); on a raw packet
    // stream the packets simply follow each other.
    std::vector<std::vector<OutPacket>> payloads;
    // After the payloads: close at once (Close), or keep the line open without
    // a word until the peer gives up (Silence).
    enum class Ending { Close, Silence } ending = Ending::Close;
    std::optional<std::pair<std::uint32_t, std::uint32_t>> drip;  // bytes, milliseconds
};

struct JobRecord {
    int number = 0;
    std::chrono::system_clock::time_point received;
    std::uint64_t size = 0;
    bool decoded = false;  // a job packet was found
    std::uint8_t kind = 0;
    std::uint8_t subkind = 0;
    std::string title;   // command 34
    std::string platen;  // command 52
    bool printed = false;
};

struct PanelView {
    std::string text;    // what the display shows
    std::string status;  // "standby", "job waiting", "printing"
    std::size_t jobsWaiting = 0;
    bool operating = false;  // adjustment writes answer 14 now
};

struct PrinterOptions {
    // How long adjustment writes answer 14 after a job arrives or Print is
    // pressed.
    std::chrono::milliseconds busyAfterJob{0};
    // Records kept; older ones are dropped.
    std::size_t requestLogLimit = 10000;
    // Called with each request log line as it is recorded (outside the lock).
    std::function<void(const std::string&)> onLogLine;
};

class Printer {
public:
    explicit Printer(PrinterState state = FactoryState(), PrinterOptions options = {});

    // Performs a request and says what to answer. Thread-safe.
    Response Handle(const KpBidi::Packet& request);
    // Records input that held no request: garbage, a half envelope.
    void RecordMalformed(std::string what);
    // Records a print job that arrived on the job port.
    void ReceiveJob(JobRecord job);

    PrinterState state() const;
    void SetState(PrinterState state);
    void UpdateState(const std::function<void(PrinterState&)>& change);

    PanelView panel() const;
    // The Print button: prints the waiting job. false (with a reason) when no
    // job waits.
    bool PressPrint(std::string* reason = nullptr);

    std::vector<JobRecord> jobs() const;
    // Waits until at least `count` jobs have arrived in all.
    bool WaitForJobs(std::size_t count, std::chrono::milliseconds timeout) const;

    std::vector<RequestRecord> requests() const;
    std::string RequestLogText() const;
    void ClearRequests();
    // Waits until at least `count` records exist in all (cleared ones count).
    bool WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;

    void AddFault(const Fault& fault);
    void ClearFaults();
    std::vector<Fault> faults() const;

    void SetBusyAfterJob(std::chrono::milliseconds duration);
    std::chrono::milliseconds busyAfterJob() const;

private:
    struct Reply;
    Reply Answer(const KpBidi::Command& command, const ActiveFaults& faults);
    bool OperatingLocked() const;
    void Record(RequestRecord record, std::unique_lock<std::mutex>& lock);

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    PrinterState state_;
    PrinterOptions options_;
    FaultSet faults_;
    std::deque<RequestRecord> requests_;
    std::size_t requestsEver_ = 0;
    std::vector<JobRecord> jobs_;
    std::chrono::steady_clock::time_point busyUntil_{};
    std::chrono::steady_clock::time_point printingUntil_{};
    // The log content is rebuilt only when its settings change.
    std::shared_ptr<const LogContent> logContent_;
    LogSettings logSettings_;
};

}  // namespace kpm::sim
