#include "bidi/communications/linux/snmp_query.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "bidi/capi/error.h"
#include "bidi/communications/linux/network_connector.h"
#include "tests/support/snmp_printer.h"
#include "tests/support/tcp_peer.h"

namespace {

using KpBidi::communications::linux::DeviceIdFrom;
using KpBidi::communications::linux::GetSnmpValue;
using KpBidi::communications::linux::kDeviceIdCommunity;
using KpBidi::communications::linux::kDeviceIdOid;
using KpBidi::communications::linux::NetworkConnector;
using KpBidi::communications::linux::SnmpAnswer;
using KpBidi::communications::linux::SnmpFailure;
using KpBidi::communications::linux::SnmpFailureKind;
using KpBidi::communications::linux::SnmpValue;
using Clock = std::chrono::steady_clock;

// A device identifier with what a careless conversion would lose: a zero
// byte, bytes above 0x7F, and trailing blanks.
constexpr char kOddBytes[] = "\x00\xff\xc3\xa9;DES:x  ";
const std::string kDeviceId = std::string("MFG:Corvane;CMD:KPM;MDL:KPM pro;CLS:PRINTER;") +
                              std::string(kOddBytes, sizeof kOddBytes - 1);
// snmpEnableAuthenTraps.0, an INTEGER snmpd always serves of its own.
constexpr const char* kIntegerOid = "1.3.6.1.2.1.11.30.0";
constexpr const char* kMissingOid = "1.3.6.1.4.1.2699.1.2.1.2.1.1.9.1";

class SnmpIdentity : public ::testing::Test {
protected:
    static void SetUpTestSuite() { printer_ = std::make_unique<kpm::test::SnmpPrinter>(kDeviceId); }
    static void TearDownTestSuite() { printer_.reset(); }
    static const std::string& address() { return printer_->address(); }

    static std::unique_ptr<kpm::test::SnmpPrinter> printer_;
};
std::unique_ptr<kpm::test::SnmpPrinter> SnmpIdentity::printer_;

const SnmpAnswer& AnswerOf(const KpBidi::communications::linux::SnmpResult& result) {
    if (const auto* f = std::get_if<SnmpFailure>(&result)) {
        ADD_FAILURE() << "query failed: kind " << static_cast<int>(f->kind) << " detail "
                      << f->detail;
        static const SnmpAnswer none;
        return none;
    }
    return std::get<SnmpAnswer>(result);
}

TEST_F(SnmpIdentity, DeviceIdComesBackByteForByte) {
    EXPECT_EQ(NetworkConnector(address()).GetDeviceId(), kDeviceId);

    const auto result = GetSnmpValue(address(), kDeviceIdCommunity, kDeviceIdOid);
    const SnmpAnswer& answer = AnswerOf(result);
    EXPECT_EQ(answer.source, address());
    EXPECT_EQ(answer.name,
              (std::vector<std::uint32_t>{1, 3, 6, 1, 4, 1, 2699, 1, 2, 1, 2, 1, 1, 3, 1}));
    EXPECT_EQ(answer.value.kind, SnmpValue::Kind::OctetString);
    EXPECT_EQ(answer.value.bytes, kDeviceId);
}

TEST_F(SnmpIdentity, AnswersThatAreNotOctetStringsAreNotADeviceId) {
    const auto integer = GetSnmpValue(address(), kDeviceIdCommunity, kIntegerOid);
    EXPECT_EQ(AnswerOf(integer).value.kind, SnmpValue::Kind::Integer);

    const auto missing = GetSnmpValue(address(), kDeviceIdCommunity, kMissingOid);
    const SnmpValue::Kind kind = AnswerOf(missing).value.kind;
    EXPECT_TRUE(kind == SnmpValue::Kind::NoSuchObject || kind == SnmpValue::Kind::NoSuchInstance)
        << static_cast<int>(kind);

    for (const auto* result : {&integer, &missing}) {
        try {
            DeviceIdFrom(*result);
            ADD_FAILURE() << "accepted as a device identifier";
        } catch (const KpBidi::Error& e) {
            EXPECT_EQ(e.code, KpBidi::PrinterNotAvailable);
        }
    }
}

TEST_F(SnmpIdentity, SuccessiveQueriesBothReachTheAgent) {
    NetworkConnector connector(address());
    EXPECT_EQ(connector.GetDeviceId(), kDeviceId);
    EXPECT_EQ(connector.GetDeviceId(), kDeviceId);
}

// Each test runs in a process of its own, so these are the process's first
// queries: the one-time set-up of the SNMP library races here.
TEST_F(SnmpIdentity, ConcurrentFirstQueriesEachGetTheirAnswer) {
    constexpr int kThreads = 8;
    std::vector<std::string> got(kThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] {
            try {
                got[i] = NetworkConnector(address()).GetDeviceId();
            } catch (const KpBidi::Error& e) {
                got[i] = "error " + std::to_string(e.code);
            }
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    for (const std::string& g : got) {
        EXPECT_EQ(g, kDeviceId);
    }
}

TEST(SnmpQuery, HostsWithoutIpv4AddressFailBeforeAnyQuery) {
    for (const char* host : {"::1", "no-such-printer.invalid"}) {
        try {
            NetworkConnector(host).GetDeviceId();
            ADD_FAILURE() << host;
        } catch (const KpBidi::Error& e) {
            EXPECT_EQ(e.code, KpBidi::CommunicationError) << host;
            EXPECT_STREQ(e.message, "Address::GetAddressInfo: name resolution is failed");
        }
    }
}

TEST(SnmpQuery, MalformedAddressOrObjectIdIsRefusedAsUnexpected) {
    for (const auto& [address, oid] : std::vector<std::pair<const char*, const char*>>{
             {"printer.example", kDeviceIdOid.data()},
             {"127.0.0.1", "1.3..6.1"},
             {"127.0.0.1", "1.3.6.x"},
             {"127.0.0.1", "1.3.6."},
             {"127.0.0.1", "1.3.6.1.4294967296"},
         }) {
        const auto result = GetSnmpValue(address, kDeviceIdCommunity, oid);
        const auto* failure = std::get_if<SnmpFailure>(&result);
        ASSERT_NE(failure, nullptr) << address << " " << oid;
        EXPECT_EQ(KpBidi::communications::linux::CodeFromSnmpFailure(*failure), KpBidi::Unexpected);
    }
}

TEST(SnmpQuery, FailuresMapToTheLibraryCodes) {
    using KpBidi::communications::linux::CodeFromSnmpFailure;
    EXPECT_EQ(CodeFromSnmpFailure({SnmpFailureKind::Timeout, 0}), KpBidi::PrinterNotAvailable);
    EXPECT_EQ(CodeFromSnmpFailure({SnmpFailureKind::Undeliverable, 0}),
              KpBidi::PrinterNotAvailable);
    EXPECT_EQ(CodeFromSnmpFailure({SnmpFailureKind::OutOfMemory, 0}), KpBidi::OutOfMemory);
    EXPECT_EQ(CodeFromSnmpFailure({SnmpFailureKind::NotInitialised, 0}), KpBidi::PlatformError);
    EXPECT_EQ(CodeFromSnmpFailure({SnmpFailureKind::Other, 0}), KpBidi::Unexpected);
}

// The slow cases: each waits out every attempt.

// A printer that takes SNMP requests and never answers. What arrives is
// checked on the wire: SNMPv2c, the community, a GET with request id 0,
// error status and index 0, once per attempt.
TEST(SnmpSilence, SilentPrinterGives1003AfterEveryAttempt) {
    std::string address;
    const int fd = kpm::test::BindRandomLoopback(SOCK_DGRAM, 161, address);
    const auto start = Clock::now();
    try {
        NetworkConnector(address).GetDeviceId();
        ADD_FAILURE() << "silence read as an answer";
    } catch (const KpBidi::Error& e) {
        EXPECT_EQ(e.code, KpBidi::PrinterNotAvailable);
    }
    const auto waited = Clock::now() - start;
    const auto attempts = KpBidi::communications::linux::kSnmpRetries + 1;
    EXPECT_GE(waited, attempts * KpBidi::communications::linux::kSnmpAttemptTimeout);
    EXPECT_LT(waited, attempts * KpBidi::communications::linux::kSnmpAttemptTimeout +
                          std::chrono::milliseconds(300));

    const kpm::test::Bytes expected{0x02, 0x01, 0x01,                           // version 2c
                                    0x04, 0x06, 'v',  'o', 'r', 't', 'e', 'l',  // community
                                    0xA0};                                      // GetRequest
    const kpm::test::Bytes ids{0x02, 0x01, 0x00, 0x02, 0x01, 0x00, 0x02, 0x01, 0x00};
    int datagrams = 0;
    for (;;) {
        unsigned char buffer[512];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n <= 0) {
            break;
        }
        ++datagrams;
        const kpm::test::Bytes got(buffer, buffer + n);
        ASSERT_GE(got.size(), 2 + expected.size() + 1 + ids.size());
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), got.begin() + 2));
        // After the PDU tag, one length byte, then request id 0, error
        // status 0, error index 0.
        const auto pdu = got.begin() + 2 + static_cast<long>(expected.size()) + 1;
        EXPECT_TRUE(std::equal(ids.begin(), ids.end(), pdu)) << "request " << datagrams;
    }
    EXPECT_EQ(datagrams, attempts);
    ::close(fd);
}

TEST_F(SnmpIdentity, AnotherCommunityIsNotAnswered) {
    const auto start = Clock::now();
    const auto result = GetSnmpValue(address(), "public", kDeviceIdOid);
    const auto* failure = std::get_if<SnmpFailure>(&result);
    ASSERT_NE(failure, nullptr);
    EXPECT_EQ(failure->kind, SnmpFailureKind::Timeout);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(400));
}

}  // namespace
