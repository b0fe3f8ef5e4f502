// One SNMPv2c GET of a single object, on net-snmp's single-session API (so
// queries on different threads never share library state).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "bidi/communications/linux/snmp_value.h"

namespace KpBidi::communications::linux {

// The printer's IEEE 1284 device identifier (printer 1) and the read
// community that opens it.
inline constexpr std::string_view kDeviceIdOid = "1.3.6.1.4.1.2699.1.2.1.2.1.1.3.1";
inline constexpr std::string_view kDeviceIdCommunity = "vortel";

// Each attempt waits 100 ms. The retry count is ours to choose: the
// original engine left it to the SNMP library's undocumented default. Three
// retries (four attempts, 400 ms for a silent printer) ride out a lost
// datagram or two on a busy network while keeping an absent printer quick.
inline constexpr std::chrono::milliseconds kSnmpAttemptTimeout{100};
inline constexpr int kSnmpRetries = 3;
inline constexpr std::uint16_t kSnmpPort = 161;

// How a query failed, in the terms the library's error codes are given in.
enum class SnmpFailureKind {
    Timeout,        // no answer after every attempt
    Undeliverable,  // the request could not be sent
    OutOfMemory,
    NotInitialised,  // the SNMP engine or its transport could not be set up
    Other,           // anything else (a malformed address or object id, ...)
};

struct SnmpFailure {
    SnmpFailureKind kind = SnmpFailureKind::Other;
    int detail = 0;  // net-snmp's SNMPERR_ code, or errno; 0 when neither applies
};

// The first variable binding of the agent's answer.
struct SnmpAnswer {
    std::string source;               // the agent's address, as text
    std::vector<std::uint32_t> name;  // the binding's object identifier
    SnmpValue value;
};

using SnmpResult = std::variant<SnmpFailure, SnmpAnswer>;

// GET of `oid` (dotted decimal text) from the agent at `address` (dotted
// IPv4 text), UDP port 161, with `community`; request id 0. Only datagrams
// from that address and port are read as the answer. The error status
// of the answer is not looked at: an agent lacking the object answers
// noSuchObject/noSuchInstance (v2c) or a non-string value, which callers
// treat as they would any unexpected value.
SnmpResult GetSnmpValue(std::string_view address, std::string_view community, std::string_view oid);

// One GET of `oid` sent to the IPv4 broadcast address `broadcast` (dotted
// text), UDP port 161, with `community`; request id 0, no retries. Every
// answer that arrives from port 161 of any IPv4 address within `window` is
// kept, the first one per address and at most `maxAnswers` in all, in the
// order they came. An empty list is no failure: nobody answered.
std::variant<SnmpFailure, std::vector<SnmpAnswer>> BroadcastSnmpGet(
    std::string_view broadcast, std::string_view community, std::string_view oid,
    std::chrono::milliseconds window, std::size_t maxAnswers);

// Timeout, Undeliverable -> 1003; OutOfMemory -> 1007; NotInitialised ->
// 1008; Other -> -1.
std::int32_t CodeFromSnmpFailure(const SnmpFailure& failure) noexcept;

}  // namespace KpBidi::communications::linux
