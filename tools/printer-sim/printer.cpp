#include "tools/printer-sim/printer.h"

#include <algorithm>
#include <cctype>

#include "bidi/protocol/wire.h"
#include "tools/printer-sim/data_blocks.h"

namespace kpm::sim {
namespace {

using KpBidi::Command;
namespace Code = KpBidi::CommandCode;

using Bytes = std::vector<unsigned char>;

std::uint32_t U32(const Bytes& v, std::size_t at) {
    return KpBidi::wire::GetU32(v.data() + at);
}

void PutU32(Bytes& b, std::size_t at, std::uint32_t v) {
    KpBidi::wire::SetU32(b.data() + at, v);
}

// Reply code for a request code; 22 is answered with 22, and a code the
// printer does not know with the code itself (and status 6).
std::uint16_t ReplyCode(std::uint16_t code) {
    if (code == Code::Status) {
        return Code::Status;
    }
    const int reply = KpBidi::ReplyCodeFor(code);
    return reply < 0 ? code : static_cast<std::uint16_t>(reply);
}

// Length of the reply value when the printer answers a request code.
std::size_t ReplySize(std::uint16_t code) {
    switch (code) {
        case Code::SetIpSettings:
        case Code::SetHostName:
        case Code::SetIpMode:
        case Code::GetIpMode:
        case Code::SetCirculationSchedule:
        case Code::GetCirculationSchedule:
            return 8;
        case Code::GetHostName:
            return 4 + kHostNameSize;
        case Code::GetPrinterInfo:
            return 4 + 2 * kIdentityFieldSize + 6;
        case Code::ReadData:
            return 24;
        case Code::Status:
        case Code::SendFiring:
        case Code::SendAlignment:
        case Code::SetHeadVRating:
        case Code::SendPlatenRolling:
        case Code::SendFeedAdjustment:
        case Code::SetClock:
        case Code::SetHeadSerial:
            return 16;
        default:
            return 8;
    }
}

bool IsAdjustment(std::uint16_t code) {
    return code == Code::SendFiring || code == Code::SendAlignment ||
           code == Code::SendPlatenRolling || code == Code::SendFeedAdjustment;
}

// Commands that came with a later firmware.
bool NeedsNewFirmware(std::uint16_t code) {
    return code == Code::SetClock || code == Code::SetCirculationSchedule ||
           code == Code::GetCirculationSchedule;
}

Command StatusOnly(std::uint16_t code, std::int32_t status, std::size_t size) {
    Command c;
    c.code = ReplyCode(code);
    c.data.assign(std::max<std::size_t>(size, 4), 0);
    PutU32(c.data, 0, static_cast<std::uint32_t>(status));
    return c;
}

// Status, then the first 8 bytes of the request value, then 4 zero bytes.
Command Echo(const Command& request, std::int32_t status) {
    Command c = StatusOnly(request.code, status, 16);
    std::copy_n(request.data.begin(), std::min<std::size_t>(8, request.data.size()),
                c.data.begin() + 4);
    return c;
}

bool ValidMask(std::uint32_t mask) {
    const std::uint32_t host = ~mask;
    // Contiguous ones, and room for at least two hosts.
    return mask != 0 && (host & (host + 1)) == 0 && host >= 3;
}

bool ValidHostAddress(std::uint32_t address, std::uint32_t mask) {
    const std::uint32_t first = address >> 24;
    const std::uint32_t host = address & ~mask;
    return first != 0 && first != 127 && first < 224 && host != 0 && host != ~mask;
}

bool ValidHostName(const std::string& name) {
    if (name.empty() || !std::isalnum(static_cast<unsigned char>(name.front()))) {
        return false;
    }
    return std::all_of(name.begin(), name.end(), [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return std::isalnum(c) || c == '-' || c == '.';
    });
}

// Text of a fixed-size field: its bytes up to the first zero byte.
std::string FieldText(const Bytes& v, std::size_t at, std::size_t size) {
    std::string text;
    for (std::size_t i = at; i < at + size && i < v.size() && v[i] != 0; ++i) {
        text += static_cast<char>(v[i]);
    }
    return text;
}

bool Printable(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c > 0x20 && c < 0x7F; });
}

}  // namespace

struct Printer::Reply {
    Command command;
    std::shared_ptr<LogCommands> log;
    std::int32_t status = 0;
};

Printer::Printer(PrinterState state, PrinterOptions options)
    : state_(std::move(state)), options_(std::move(options)) {}

Printer::Reply Printer::Answer(const Command& request, const ActiveFaults& faults) {
    const Bytes& v = request.data;
    const std::uint16_t code = request.code;
    auto status = [&](std::int32_t word) {
        return Reply{StatusOnly(code, word, ReplySize(code)), nullptr, word};
    };
    auto echo = [&](std::int32_t word) { return Reply{Echo(request, word), nullptr, word}; };

    if (const auto forced = faults.StatusFor(code)) {
        return status(*forced);
    }
    if (state_.firmwareTooOld && NeedsNewFirmware(code)) {
        return status(Status::OldFirmware);
    }
    if (IsAdjustment(code) && OperatingLocked()) {
        return status(Status::Operating);
    }

    PrinterState& s = state_;
    switch (code) {
        case Code::Status: {
            Reply r = status(Status::Ok);
            const bool waiting = std::any_of(jobs_.begin(), jobs_.end(),
                                             [](const JobRecord& j) { return !j.printed; });
            PutU32(r.command.data, 4, OperatingLocked() ? 1u : waiting ? 2u : 0u);
            return r;
        }
        case Code::ReadData: {
            if (v.size() < 4) {
                return status(Status::Rejected);
            }
            const auto block = BuildDataBlock(U32(v, 0), s);
            if (!block) {
                return status(Status::Failed);
            }
            Reply r = status(Status::Ok);
            Bytes& d = r.command.data;
            PutU32(d, 8, U32(v, 0));
            PutU32(d, 12, 1);  // layout version
            PutU32(d, 16, static_cast<std::uint32_t>(block->size()));
            d.resize(20);  // status, 4 unused bytes, value1, value2, n; then the data
            d.insert(d.end(), block->begin(), block->end());
            d.resize(d.size() + 4, 0);
            PutU32(d, d.size() - 4, DataBlockChecksum(*block) + (faults.badChecksum ? 1 : 0));
            return r;
        }
        case Code::FetchLog: {
            if (!logContent_ || logSettings_ != s.log) {
                logContent_ = std::make_shared<const LogContent>(s.log);
                logSettings_ = s.log;
            }
            auto plan = MakeLogPlan(logContent_->size(), s.log, faults.log);
            Reply r;
            r.status = static_cast<std::int32_t>(plan.entries.size());
            r.log = std::make_shared<LogCommands>(logContent_, std::move(plan));
            return r;
        }
        case Code::SendFiring: {
            if (v.size() < 7 || v[0] > 1 || v[1] > 1 || v[2] > 1) {
                return echo(Status::Rejected);
            }
            auto& values = s.firing[v[0]][v[1]];
            if (v[2] == 1) {
                values = FactoryState().firing[v[0]][v[1]];
            } else {
                for (int i = 0; i < 4; ++i) {
                    values[i] = static_cast<std::int8_t>(v[3 + i]);
                }
            }
            return echo(Status::Ok);
        }
        case Code::SendAlignment: {
            if (v.size() < 4 || v[0] > 1 || v[1] > 1) {
                return echo(Status::Rejected);
            }
            Alignment& a = s.alignment[v[0]];
            if (v[1] == 1) {
                a = FactoryState().alignment[v[0]];
                return echo(Status::Ok);
            }
            // Offsets add to the current position; the carriage moves at most
            // 64 steps (128 at 1200 dpi) either way from the factory position.
            const int limit = v[0] == Dpi1200 ? 128 : 64;
            const int x = a.x + static_cast<std::int8_t>(v[2]);
            const int y = a.y + static_cast<std::int8_t>(v[3]);
            if (x < -limit || x >= limit || y < -limit || y >= limit) {
                return echo(Status::Rejected);
            }
            a.x = static_cast<std::int16_t>(x);
            a.y = static_cast<std::int16_t>(y);
            return echo(Status::Ok);
        }
        case Code::SetIpSettings: {
            if (v.size() < 12) {
                return status(Status::Rejected);
            }
            const std::uint32_t address = U32(v, 0);
            const std::uint32_t mask = U32(v, 4);
            const std::uint32_t gateway = U32(v, 8);
            if (!ValidMask(mask) || !ValidHostAddress(address, mask)) {
                return status(Status::BadAddress);
            }
            if (gateway != 0 && (gateway == address || (gateway & mask) != (address & mask) ||
                                 !ValidHostAddress(gateway, mask))) {
                return status(Status::BadGateway);
            }
            s.ipAddress = address;
            s.subnetMask = mask;
            s.gateway = gateway;
            return status(Status::Ok);
        }
        case Code::SetHeadVRating: {
            if (v.size() < 8 || U32(v, 0) > 1 || U32(v, 4) > kMaxVRating) {
                return echo(Status::Rejected);
            }
            s.heads[U32(v, 0)].vRating = static_cast<std::uint8_t>(U32(v, 4));
            return echo(Status::Ok);
        }
        case Code::SetHostName: {
            std::string name = FieldText(v, 0, kHostNameSize);
            if (!ValidHostName(name)) {
                return status(Status::Rejected);
            }
            s.hostName = std::move(name);
            return status(Status::Ok);
        }
        case Code::GetHostName: {
            Reply r = status(Status::Ok);
            std::copy(s.hostName.begin(), s.hostName.end(), r.command.data.begin() + 4);
            return r;
        }
        case Code::SetIpMode: {
            if (v.size() < 4 || U32(v, 0) > 1) {
                return status(Status::Rejected);
            }
            s.ipMode = static_cast<int>(U32(v, 0));
            return status(Status::Ok);
        }
        case Code::GetIpMode: {
            Reply r = status(Status::Ok);
            PutU32(r.command.data, 4, static_cast<std::uint32_t>(s.ipMode));
            return r;
        }
        case Code::GetPrinterInfo: {
            Reply r = status(Status::Ok);
            Bytes& d = r.command.data;
            std::copy(s.digits18Code.begin(), s.digits18Code.end(), d.begin() + 4);
            std::copy(s.serialNumber.begin(), s.serialNumber.end(), d.begin() + 22);
            std::copy(s.mac.begin(), s.mac.end(), d.begin() + 40);
            return r;
        }
        case Code::SendPlatenRolling: {
            if (v.size() < 3 || v[0] > 1) {
                return echo(Status::Rejected);
            }
            if (v[0] == 1) {
                s.platenRolling = FactoryState().platenRolling;
            } else {
                s.platenRolling = {static_cast<std::int8_t>(v[1]), static_cast<std::int8_t>(v[2])};
            }
            return echo(Status::Ok);
        }
        case Code::SendFeedAdjustment: {
            if (v.size() < 4) {
                return echo(Status::Rejected);
            }
            for (int i = 0; i < 4; ++i) {
                s.feed[i] = static_cast<std::int8_t>(v[i]);
            }
            return echo(Status::Ok);
        }
        case Code::SetClock: {
            if (v.size() < 4) {
                return echo(Status::Rejected);
            }
            const std::uint32_t seconds = U32(v, 0);
            // Before 2000 arrives as a negative count.
            if (static_cast<std::int32_t>(seconds) < static_cast<std::int32_t>(kEarliestClock)) {
                return echo(Status::BadClock);
            }
            s.clockSeconds = seconds;
            return echo(Status::Ok);
        }
        case Code::SetCirculationSchedule: {
            if (v.size() < 4 || v[0] > kMaxScheduleEntries || v.size() < 4u + 4u * v[0]) {
                return status(Status::Rejected);
            }
            std::vector<ScheduleEntry> schedule;
            for (std::size_t i = 0; i < v[0]; ++i) {
                const unsigned char* e = &v[4 + 4 * i];
                if (i == 0 && e[2] == 0xFF && e[3] == 0xFF) {
                    break;  // the empty-schedule marker
                }
                if ((e[0] != 1 && e[0] != 2) || e[2] > 23 || e[3] > 59) {
                    return status(Status::Rejected);
                }
                schedule.push_back({e[2], e[3], e[0]});
            }
            s.schedule = std::move(schedule);
            return status(Status::Ok);
        }
        case Code::GetCirculationSchedule: {
            Reply r = status(Status::Ok);
            Bytes& d = r.command.data;
            if (s.schedule.empty()) {
                // One entry at hour and minute 255 stands for no schedule.
                d[4] = 1;
                d.insert(d.end(), {0x01, 0x00, 0xFF, 0xFF});
                return r;
            }
            d[4] = static_cast<unsigned char>(s.schedule.size());
            for (const ScheduleEntry& e : s.schedule) {
                d.insert(d.end(), {static_cast<unsigned char>(e.kind), 0x00, e.hour, e.minute});
            }
            return r;
        }
        case Code::SetHeadSerial: {
            if (v.size() < 12 || U32(v, 0) > 1) {
                return echo(Status::Rejected);
            }
            std::string serial = FieldText(v, 4, kHeadSerialSize);
            if (serial.empty() || !Printable(serial)) {
                return echo(Status::Rejected);
            }
            s.heads[U32(v, 0)].serial = std::move(serial);
            return echo(Status::Ok);
        }
        default:
            return status(Status::Failed);
    }
}

Response Printer::Handle(const KpBidi::Packet& request) {
    std::unique_lock lock(mutex_);

    std::vector<std::uint16_t> codes;
    RequestRecord record;
    record.time = std::chrono::system_clock::now();
    record.id = request.header.id;
    for (const KpBidi::PacketCommand& c : request.commands) {
        codes.push_back(c.code);
        RequestRecord::Sent sent;
        sent.code = c.code;
        sent.dataSize = c.data.size();
        sent.data.assign(c.data.begin(),
                         c.data.begin() + static_cast<std::ptrdiff_t>(
                                              std::min(c.data.size(), RequestRecord::kKeptBytes)));
        record.commands.push_back(std::move(sent));
    }
    std::uint32_t logBlocks = 0;
    if (std::find(codes.begin(), codes.end(), Code::FetchLog) != codes.end()) {
        const std::uint64_t size = state_.log.text ? state_.log.text->size() : state_.log.size;
        logBlocks = MakeLogGeometry(size, state_.log.blockSize).blockCount;
    }
    ActiveFaults active = faults_.Take(codes, logBlocks);
    record.faults = active.applied;

    Response response;
    response.drip = active.drip;
    if (active.close || active.silence) {
        response.ending = active.silence ? Response::Ending::Silence : Response::Ending::Close;
        Record(std::move(record), lock);
        return response;
    }

    OutPacket base;
    base.header = request.header;
    base.footer = request.footer;
    base.footer.id = request.header.id;
    for (const KpBidi::PacketCommand& c : request.commands) {
        Reply reply = Answer(c, active);
        if (const auto length = active.LengthFor(c.code); length && !reply.log) {
            reply.command.data.resize(std::min(*length, reply.command.data.size()));
        }
        if (reply.log && !base.log) {
            base.log = std::move(reply.log);
            base.logCount = base.log->count();
            record.answers.emplace_back(KpBidi::ReplyCode::LogBlock, reply.status);
            record.note = std::to_string(base.log->plan().logSize) + " log bytes in " +
                          std::to_string(base.logCount) + " blocks";
            continue;
        }
        if (reply.log) {
            // One log per reply packet; a second request for it in the same
            // packet is refused.
            reply.command = StatusOnly(c.code, Status::Failed, 4);
            reply.status = Status::Failed;
        }
        record.answers.emplace_back(reply.command.code, reply.status);
        base.commands.push_back(std::move(reply.command));
    }

    if (active.only22) {
        std::erase_if(base.commands, [](const Command& c) { return c.code != Code::Status; });
        base.log.reset();
        base.logCount = 0;
    }

    std::vector<OutPacket> packets{base};
    if ((active.split || active.twoInOne) && base.CommandCount() >= 2) {
        const std::size_t first = base.CommandCount() / 2;
        OutPacket a = base;
        OutPacket b = base;
        const std::size_t eagerInA = std::min(first, base.commands.size());
        a.commands.resize(eagerInA);
        b.commands.erase(b.commands.begin(), b.commands.begin() + static_cast<long>(eagerInA));
        a.logCount = first - eagerInA;
        b.logFirst = a.logCount;
        b.logCount = base.logCount - a.logCount;
        packets = {std::move(a), std::move(b)};
    }
    if (active.badFooter) {
        packets.back().badFooter = true;
    }
    if (active.truncated) {
        // Cut inside the last command, just before the footer.
        packets.back().cutAt = PacketSizeToFooter(packets.back()) - 16 - 2;
    }

    if (active.staleId) {
        // What an earlier request's late answer would look like: the same
        // reply codes with failure statuses, under the previous id.
        OutPacket stale;
        stale.header = base.header;
        stale.header.id = base.header.id == 0 ? 0xFFFFFFFEu : base.header.id - 1;
        stale.footer = base.footer;
        stale.footer.id = stale.header.id;
        for (const Command& c : base.commands) {
            stale.commands.push_back(StatusOnly(c.code, Status::Failed, c.data.size()));
        }
        if (base.log) {
            Command block;
            block.code = KpBidi::ReplyCode::LogBlock;
            block.data.assign(kLogBlockHeaderSize, 0);
            block.data[12] = 1;  // a "final" empty block 0
            stale.commands.push_back(std::move(block));
        }
        response.payloads.push_back({std::move(stale)});
    }
    if (active.split && packets.size() == 2) {
        response.payloads.push_back({std::move(packets[0])});
        response.payloads.push_back({std::move(packets[1])});
    } else {
        response.payloads.push_back(std::move(packets));
    }
    Record(std::move(record), lock);
    return response;
}

void Printer::RecordMalformed(std::string what) {
    std::unique_lock lock(mutex_);
    RequestRecord record;
    record.kind = RequestRecord::Kind::Malformed;
    record.time = std::chrono::system_clock::now();
    record.note = std::move(what);
    Record(std::move(record), lock);
}

void Printer::ReceiveJob(JobRecord job) {
    std::unique_lock lock(mutex_);
    job.number = static_cast<int>(jobs_.size()) + 1;
    job.received = std::chrono::system_clock::now();
    busyUntil_ = std::max(busyUntil_, std::chrono::steady_clock::now() + options_.busyAfterJob);

    RequestRecord record;
    record.kind = RequestRecord::Kind::Job;
    record.time = job.received;
    record.note = "#" + std::to_string(job.number) + " " + std::to_string(job.size) + " bytes";
    if (job.decoded) {
        record.note += ", title \"" + job.title + "\", platen \"" + job.platen + "\"";
    } else {
        record.note += ", no job packet found";
    }
    jobs_.push_back(std::move(job));
    Record(std::move(record), lock);
}

void Printer::Record(RequestRecord record, std::unique_lock<std::mutex>& lock) {
    std::string line;
    if (options_.onLogLine) {
        line = FormatRequestLine(record);
    }
    requests_.push_back(std::move(record));
    ++requestsEver_;
    while (requests_.size() > options_.requestLogLimit) {
        requests_.pop_front();
    }
    auto callback = options_.onLogLine;
    lock.unlock();
    changed_.notify_all();
    if (callback) {
        callback(line);
    }
}

bool Printer::OperatingLocked() const {
    return std::chrono::steady_clock::now() < busyUntil_;
}

PrinterState Printer::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

void Printer::SetState(PrinterState state) {
    std::lock_guard lock(mutex_);
    state_ = std::move(state);
}

void Printer::UpdateState(const std::function<void(PrinterState&)>& change) {
    std::lock_guard lock(mutex_);
    change(state_);
}

PanelView Printer::panel() const {
    std::lock_guard lock(mutex_);
    PanelView view;
    view.operating = OperatingLocked();
    const JobRecord* waiting = nullptr;
    for (const JobRecord& job : jobs_) {
        if (!job.printed) {
            ++view.jobsWaiting;
            if (waiting == nullptr) {
                waiting = &job;
            }
        }
    }
    if (std::chrono::steady_clock::now() < printingUntil_) {
        view.text = "PRINTING";
        view.status = "printing";
    } else if (waiting != nullptr) {
        view.text = waiting->decoded ? waiting->title : "UNKNOWN JOB";
        view.status = "job waiting";
    } else {
        view.text = "READY";
        view.status = "standby";
    }
    return view;
}

bool Printer::PressPrint(std::string* reason) {
    std::unique_lock lock(mutex_);
    const auto job =
        std::find_if(jobs_.begin(), jobs_.end(), [](const JobRecord& j) { return !j.printed; });
    if (job == jobs_.end()) {
        if (reason != nullptr) {
            *reason = "no job is waiting";
        }
        return false;
    }
    job->printed = true;
    const auto now = std::chrono::steady_clock::now();
    printingUntil_ = now + options_.busyAfterJob;
    busyUntil_ = std::max(busyUntil_, printingUntil_);

    RequestRecord record;
    record.kind = RequestRecord::Kind::Job;
    record.time = std::chrono::system_clock::now();
    record.note = "#" + std::to_string(job->number) + " printed (Print pressed on the panel)";
    Record(std::move(record), lock);
    return true;
}

std::vector<JobRecord> Printer::jobs() const {
    std::lock_guard lock(mutex_);
    return jobs_;
}

bool Printer::WaitForJobs(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return jobs_.size() >= count; });
}

std::vector<RequestRecord> Printer::requests() const {
    std::lock_guard lock(mutex_);
    return {requests_.begin(), requests_.end()};
}

std::string Printer::RequestLogText() const {
    std::string text;
    for (const RequestRecord& r : requests()) {
        text += FormatRequestLine(r);
        text += '\n';
    }
    return text;
}

void Printer::ClearRequests() {
    std::lock_guard lock(mutex_);
    requests_.clear();
}

bool Printer::WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return requestsEver_ >= count; });
}

void Printer::AddFault(const Fault& fault) {
    std::lock_guard lock(mutex_);
    faults_.Add(fault);
}

void Printer::ClearFaults() {
    std::lock_guard lock(mutex_);
    faults_.Clear();
}

std::vector<Fault> Printer::faults() const {
    std::lock_guard lock(mutex_);
    return faults_.list();
}

void Printer::SetBusyAfterJob(std::chrono::milliseconds duration) {
    std::lock_guard lock(mutex_);
    options_.busyAfterJob = duration;
}

std::chrono::milliseconds Printer::busyAfterJob() const {
    std::lock_guard lock(mutex_);
    return options_.busyAfterJob;
}

}  // namespace kpm::sim
