// An SNMP variable's value in a form of our own, converted from net-snmp's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct variable_list;  // net-snmp's netsnmp_variable_list

namespace KpBidi::communications::linux {

struct SnmpValue {
    enum class Kind {
        Empty,  // NULL, endOfMibView, and any syntax not listed here
        Integer,
        OctetString,
        ObjectIdentifier,
        IpAddress,
        Counter,
        Gauge,
        TimeTicks,
        Unsigned,
        Opaque,
        Counter64,
        NoSuchObject,
        NoSuchInstance,
    };

    Kind kind = Kind::Empty;
    std::int32_t integer = 0;        // Integer
    std::uint32_t unsigned32 = 0;    // IpAddress (first byte lowest), Counter, Gauge,
                                     // TimeTicks, Unsigned
    std::uint64_t counter64 = 0;     // Counter64
    std::string bytes;               // OctetString, Opaque: byte for byte
    std::vector<std::uint32_t> oid;  // ObjectIdentifier
};

// Converts by the variable's syntax: INTEGER (2), OCTET STRING (4), OBJECT
// IDENTIFIER (6), IpAddress (64), Counter32 (65), Gauge32 (66), TimeTicks
// (67), Opaque (68), Counter64 (70), Unsigned32 (71), noSuchObject (128),
// noSuchInstance (129); everything else is Empty.
SnmpValue SnmpValueFrom(const variable_list& variable);

}  // namespace KpBidi::communications::linux
