#include "bidi/communications/linux/snmp_value.h"

#include <gtest/gtest.h>

// clang-format off
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
// clang-format on

namespace {

using KpBidi::communications::linux::SnmpValue;
using KpBidi::communications::linux::SnmpValueFrom;
using Kind = SnmpValue::Kind;

// A variable as net-snmp hands it over after parsing an answer.
class Variable {
public:
    Variable(unsigned char type, const void* value, std::size_t size) {
        static const oid name[] = {1, 3, 6, 1};
        snmp_varlist_add_variable(&list_, name, 4, type, value, size);
    }
    ~Variable() { snmp_free_varbind(list_); }
    Variable(const Variable&) = delete;
    Variable& operator=(const Variable&) = delete;

    SnmpValue Convert() const { return SnmpValueFrom(*list_); }

private:
    netsnmp_variable_list* list_ = nullptr;
};

TEST(SnmpValueFrom, ConvertsEverySyntaxOfTheTable) {
    const long integer = -123456;
    EXPECT_EQ(Variable(ASN_INTEGER, &integer, sizeof integer).Convert().kind, Kind::Integer);
    EXPECT_EQ(Variable(ASN_INTEGER, &integer, sizeof integer).Convert().integer, -123456);

    const std::string text("a\0b\xff ", 5);
    const SnmpValue octets = Variable(ASN_OCTET_STR, text.data(), text.size()).Convert();
    EXPECT_EQ(octets.kind, Kind::OctetString);
    EXPECT_EQ(octets.bytes, text);
    const SnmpValue opaque = Variable(ASN_OPAQUE, text.data(), text.size()).Convert();
    EXPECT_EQ(opaque.kind, Kind::Opaque);
    EXPECT_EQ(opaque.bytes, text);

    const oid id[] = {1, 3, 6, 1, 4, 1, 2699, 4294967295u};
    const SnmpValue objectId = Variable(ASN_OBJECT_ID, id, sizeof id).Convert();
    EXPECT_EQ(objectId.kind, Kind::ObjectIdentifier);
    EXPECT_EQ(objectId.oid, (std::vector<std::uint32_t>{1, 3, 6, 1, 4, 1, 2699, 4294967295u}));

    // The four bytes of 192.168.1.20, the first one lowest.
    const unsigned char ip[] = {192, 168, 1, 20};
    const SnmpValue address = Variable(ASN_IPADDRESS, ip, sizeof ip).Convert();
    EXPECT_EQ(address.kind, Kind::IpAddress);
    EXPECT_EQ(address.unsigned32, 0x1401A8C0u);

    const unsigned long big = 4000000000ul;
    for (const auto& [type, kind] : std::vector<std::pair<unsigned char, Kind>>{
             {ASN_COUNTER, Kind::Counter},
             {ASN_GAUGE, Kind::Gauge},
             {ASN_TIMETICKS, Kind::TimeTicks},
             {ASN_UINTEGER, Kind::Unsigned},
         }) {
        const SnmpValue v = Variable(type, &big, sizeof big).Convert();
        EXPECT_EQ(v.kind, kind) << static_cast<int>(type);
        EXPECT_EQ(v.unsigned32, 4000000000u) << static_cast<int>(type);
    }

    counter64 c64{};
    c64.high = 0x12345678;
    c64.low = 0x9ABCDEF0;
    const SnmpValue wide = Variable(ASN_COUNTER64, &c64, sizeof c64).Convert();
    EXPECT_EQ(wide.kind, Kind::Counter64);
    EXPECT_EQ(wide.counter64, 0x123456789ABCDEF0ull);

    EXPECT_EQ(Variable(SNMP_NOSUCHOBJECT, nullptr, 0).Convert().kind, Kind::NoSuchObject);
    EXPECT_EQ(Variable(SNMP_NOSUCHINSTANCE, nullptr, 0).Convert().kind, Kind::NoSuchInstance);
    EXPECT_EQ(Variable(ASN_NULL, nullptr, 0).Convert().kind, Kind::Empty);
    EXPECT_EQ(Variable(SNMP_ENDOFMIBVIEW, nullptr, 0).Convert().kind, Kind::Empty);
    const unsigned char bits[] = {0xA0};
    EXPECT_EQ(Variable(ASN_BIT_STR, bits, sizeof bits).Convert().kind, Kind::Empty);
}

}  // namespace
