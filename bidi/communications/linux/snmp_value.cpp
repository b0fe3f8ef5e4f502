#include "bidi/communications/linux/snmp_value.h"

// clang-format off
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
// clang-format on

namespace KpBidi::communications::linux {
namespace {

std::string Bytes(const netsnmp_variable_list& v) {
    if (v.val.string == nullptr) {
        return {};
    }
    return std::string(reinterpret_cast<const char*>(v.val.string), v.val_len);
}

std::uint32_t Unsigned32(const netsnmp_variable_list& v) {
    return v.val.integer != nullptr ? static_cast<std::uint32_t>(*v.val.integer) : 0u;
}

}  // namespace

SnmpValue SnmpValueFrom(const variable_list& v) {
    using Kind = SnmpValue::Kind;
    SnmpValue out;
    switch (v.type) {
        case ASN_INTEGER:
            out.kind = Kind::Integer;
            out.integer = v.val.integer != nullptr ? static_cast<std::int32_t>(*v.val.integer) : 0;
            break;
        case ASN_OCTET_STR:
            out.kind = Kind::OctetString;
            out.bytes = Bytes(v);
            break;
        case ASN_OPAQUE:
            out.kind = Kind::Opaque;
            out.bytes = Bytes(v);
            break;
        case ASN_OBJECT_ID:
            out.kind = Kind::ObjectIdentifier;
            if (v.val.objid != nullptr) {
                const std::size_t n = v.val_len / sizeof(oid);
                out.oid.reserve(n);
                for (std::size_t i = 0; i < n; ++i) {
                    out.oid.push_back(static_cast<std::uint32_t>(v.val.objid[i]));
                }
            }
            break;
        case ASN_IPADDRESS:
            out.kind = Kind::IpAddress;
            if (v.val.string != nullptr && v.val_len >= 4) {
                const unsigned char* b = v.val.string;
                out.unsigned32 = std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) |
                                 (std::uint32_t{b[2]} << 16) | (std::uint32_t{b[3]} << 24);
            }
            break;
        case ASN_COUNTER:
            out.kind = Kind::Counter;
            out.unsigned32 = Unsigned32(v);
            break;
        case ASN_GAUGE:
            out.kind = Kind::Gauge;
            out.unsigned32 = Unsigned32(v);
            break;
        case ASN_TIMETICKS:
            out.kind = Kind::TimeTicks;
            out.unsigned32 = Unsigned32(v);
            break;
        case ASN_UINTEGER:
            out.kind = Kind::Unsigned;
            out.unsigned32 = Unsigned32(v);
            break;
        case ASN_COUNTER64:
            out.kind = Kind::Counter64;
            if (v.val.counter64 != nullptr) {
                out.counter64 = (std::uint64_t{v.val.counter64->high & 0xFFFFFFFFu} << 32) |
                                (v.val.counter64->low & 0xFFFFFFFFu);
            }
            break;
        case SNMP_NOSUCHOBJECT:
            out.kind = Kind::NoSuchObject;
            break;
        case SNMP_NOSUCHINSTANCE:
            out.kind = Kind::NoSuchInstance;
            break;
        default:
            out.kind = Kind::Empty;
            break;
    }
    return out;
}

}  // namespace KpBidi::communications::linux
