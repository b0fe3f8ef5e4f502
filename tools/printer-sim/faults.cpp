#include "tools/printer-sim/faults.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace kpm::sim {
namespace {

struct KindInfo {
    FaultKind kind;
    const char* name;
    const char* help;
};

constexpr KindInfo kKinds[] = {
    {FaultKind::Status, "status", "status:N     the operation answers status N and does nothing"},
    {FaultKind::Split, "split", "split        the reply is split over two packets, two envelopes"},
    {FaultKind::StaleId, "stale-id", "stale-id     a packet with an older id comes first"},
    {FaultKind::TwoInOne, "two-in-one",
     "two-in-one   the reply travels as two packets in one envelope"},
    {FaultKind::Only22, "only-22", "only-22      only the answer to command 22 is sent"},
    {FaultKind::Truncated, "truncated", "truncated    the reply packet is cut short"},
    {FaultKind::BadFooter, "bad-footer", "bad-footer   the footer marker ends in 0x23"},
    {FaultKind::BadChecksum, "bad-checksum",
     "bad-checksum data blocks (command 28) carry a wrong checksum"},
    {FaultKind::Silence, "silence", "silence      the request is never answered"},
    {FaultKind::Close, "close", "close        the connection is closed without an answer"},
    {FaultKind::Drip, "drip", "drip:B/MS    the reply goes out B bytes every MS ms (64/10)"},
    {FaultKind::LogShuffle, "log-shuffle",
     "log-shuffle:SEED  log blocks arrive in a shuffled order"},
    {FaultKind::LogRepeat, "log-repeat", "log-repeat:N log block N (default: middle) comes twice"},
    {FaultKind::LogNoLast, "log-no-last", "log-no-last  no log block carries the last flag"},
    {FaultKind::LogGap, "log-gap", "log-gap:N    log block N (default: middle) is left out"},
    {FaultKind::Short, "short", "short:N      reply values are cut to N bytes (e.g. short:4@77)"},
};

[[noreturn]] void Invalid(std::string_view text, const std::string& why) {
    throw std::invalid_argument("fault \"" + std::string(text) + "\": " + why);
}

std::optional<std::int64_t> Number(std::string_view text) {
    std::int64_t value = 0;
    const char* const end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

bool ForCode(const Fault& fault, const std::vector<std::uint16_t>& codes) {
    return fault.code == 0 || std::find(codes.begin(), codes.end(), fault.code) != codes.end();
}

}  // namespace

const char* FaultName(FaultKind kind) {
    for (const KindInfo& k : kKinds) {
        if (k.kind == kind) {
            return k.name;
        }
    }
    return "?";
}

std::string FaultHelp() {
    std::string help;
    for (const KindInfo& k : kKinds) {
        help += "  ";
        help += k.help;
        help += '\n';
    }
    help +=
        "  Any fault takes @CODE (only requests carrying command CODE) and xN (only the\n"
        "  next N such requests), e.g. status:14@46x1.\n";
    return help;
}

Fault ParseFault(std::string_view text) {
    Fault fault;
    std::string_view rest = text;

    // xTIMES at the very end.
    if (const auto x = rest.rfind('x'); x != std::string_view::npos && x + 1 < rest.size()) {
        const auto times = Number(rest.substr(x + 1));
        if (times) {
            if (*times < 1 || *times > 1000000) {
                Invalid(text, "xN needs N from 1 to 1000000");
            }
            fault.times = static_cast<int>(*times);
            rest = rest.substr(0, x);
        }
    }
    if (const auto at = rest.find('@'); at != std::string_view::npos) {
        const auto code = Number(rest.substr(at + 1));
        if (!code || *code < 1 || *code > 0xFFFF) {
            Invalid(text, "@CODE needs a command code from 1 to 65535");
        }
        fault.code = static_cast<std::uint16_t>(*code);
        rest = rest.substr(0, at);
    }
    std::string_view name = rest;
    std::string_view value;
    if (const auto colon = rest.find(':'); colon != std::string_view::npos) {
        name = rest.substr(0, colon);
        value = rest.substr(colon + 1);
        if (value.empty()) {
            Invalid(text, "a value must follow ':'");
        }
    }
    const KindInfo* info = nullptr;
    for (const KindInfo& k : kKinds) {
        if (name == k.name) {
            info = &k;
        }
    }
    if (info == nullptr) {
        Invalid(text,
                "unknown fault; known: status split stale-id two-in-one only-22 truncated "
                "bad-footer bad-checksum silence close drip log-shuffle log-repeat "
                "log-no-last log-gap");
    }
    fault.kind = info->kind;

    std::string_view interval;
    bool intervalGiven = false;
    if (!value.empty()) {
        if (const auto slash = value.find('/'); slash != std::string_view::npos) {
            if (fault.kind != FaultKind::Drip) {
                Invalid(text, "only drip takes an interval");
            }
            interval = value.substr(slash + 1);
            intervalGiven = true;
            if (interval.size() > 2 && interval.substr(interval.size() - 2) == "ms") {
                interval.remove_suffix(2);
            }
            value = value.substr(0, slash);
        }
        const auto number = Number(value);
        if (!number) {
            Invalid(text, "the value must be a whole number");
        }
        switch (fault.kind) {
            case FaultKind::Status:
                if (*number < INT32_MIN || *number > INT32_MAX) {
                    Invalid(text, "status must fit in 32 bits");
                }
                break;
            case FaultKind::Drip:
            case FaultKind::LogShuffle:
            case FaultKind::LogRepeat:
            case FaultKind::LogGap:
            case FaultKind::Short:
                if (*number < 0 || *number > UINT32_MAX ||
                    (fault.kind == FaultKind::Drip && *number == 0)) {
                    Invalid(text, "value out of range");
                }
                break;
            default:
                Invalid(text, "this fault takes no value");
        }
        fault.value = *number;
        if (intervalGiven) {
            const auto ms = Number(interval);
            if (!ms || *ms < 0 || *ms > 60000) {
                Invalid(text, "the interval must be 0 to 60000 ms");
            }
            fault.intervalMs = static_cast<std::uint32_t>(*ms);
        }
    }
    if (fault.kind == FaultKind::Status && !fault.value) {
        Invalid(text, "status needs a value, e.g. status:14");
    }
    if (fault.kind == FaultKind::Short && !fault.value) {
        Invalid(text, "short needs a length, e.g. short:4");
    }
    if (fault.kind == FaultKind::Drip) {
        if (!fault.value) {
            fault.value = 64;
        }
        if (!intervalGiven) {
            fault.intervalMs = 10;
        }
    }
    return fault;
}

std::string FormatFault(const Fault& fault) {
    std::string text = FaultName(fault.kind);
    if (fault.value) {
        text += ":" + std::to_string(*fault.value);
        if (fault.kind == FaultKind::Drip) {
            text += "/" + std::to_string(fault.intervalMs);
        }
    }
    if (fault.code != 0) {
        text += "@" + std::to_string(fault.code);
    }
    if (fault.times != 0) {
        text += "x" + std::to_string(fault.times);
    }
    return text;
}

std::optional<std::int32_t> ActiveFaults::StatusFor(std::uint16_t code) const {
    std::optional<std::int32_t> status;
    for (const auto& [which, value] : statuses) {
        const bool everyOperation = which == 0 && code != 22 && code != 35;
        if (which == code || everyOperation) {
            status = value;
        }
    }
    return status;
}

std::optional<std::size_t> ActiveFaults::LengthFor(std::uint16_t code) const {
    std::optional<std::size_t> length;
    for (const auto& [which, value] : lengths) {
        if (which == code || (which == 0 && code != 22 && code != 35)) {
            length = value;
        }
    }
    return length;
}

ActiveFaults FaultSet::Take(const std::vector<std::uint16_t>& codes, std::uint32_t logBlocks) {
    ActiveFaults active;
    const std::uint32_t middle = logBlocks / 2;
    for (Fault& fault : faults_) {
        if (!ForCode(fault, codes)) {
            continue;
        }
        active.applied.push_back(FormatFault(fault));
        switch (fault.kind) {
            case FaultKind::Status:
                active.statuses.emplace_back(fault.code, static_cast<std::int32_t>(*fault.value));
                break;
            case FaultKind::Split:
                active.split = true;
                break;
            case FaultKind::StaleId:
                active.staleId = true;
                break;
            case FaultKind::TwoInOne:
                active.twoInOne = true;
                break;
            case FaultKind::Only22:
                active.only22 = true;
                break;
            case FaultKind::Truncated:
                active.truncated = true;
                break;
            case FaultKind::BadFooter:
                active.badFooter = true;
                break;
            case FaultKind::BadChecksum:
                active.badChecksum = true;
                break;
            case FaultKind::Silence:
                active.silence = true;
                break;
            case FaultKind::Close:
                active.close = true;
                break;
            case FaultKind::Drip:
                active.drip.emplace(static_cast<std::uint32_t>(fault.value.value_or(64)),
                                    fault.intervalMs);
                break;
            case FaultKind::LogShuffle:
                active.log.shuffle = true;
                active.log.shuffleSeed = static_cast<std::uint32_t>(fault.value.value_or(1));
                break;
            case FaultKind::LogRepeat:
                active.log.repeat = static_cast<std::uint32_t>(fault.value.value_or(middle));
                break;
            case FaultKind::LogNoLast:
                active.log.omitLastFlag = true;
                break;
            case FaultKind::LogGap:
                active.log.gap = static_cast<std::uint32_t>(fault.value.value_or(middle));
                break;
            case FaultKind::Short:
                active.lengths.emplace_back(fault.code, static_cast<std::size_t>(*fault.value));
                break;
        }
        if (fault.times > 0) {
            --fault.times;
            if (fault.times == 0) {
                fault.times = -1;  // used up; removed below
            }
        }
    }
    std::erase_if(faults_, [](const Fault& f) { return f.times < 0; });
    return active;
}

}  // namespace kpm::sim
