#include "bidi/communications/linux/snmp_query.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
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

// A GetResponse with request id 0 and one octet-string binding for the
// device identifier object, as a forger (or the printer) would send it.
kpm::test::Bytes Tlv(unsigned char tag, const kpm::test::Bytes& content) {
    kpm::test::Bytes out{tag, static_cast<unsigned char>(content.size())};
    out.insert(out.end(), content.begin(), content.end());
    return out;
}
kpm::test::Bytes Concat(std::initializer_list<kpm::test::Bytes> parts) {
    kpm::test::Bytes out;
    for (const auto& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}
kpm::test::Bytes DeviceIdResponse(const std::string& value) {
    const kpm::test::Bytes oid{0x2B, 1, 4, 1, 0x95, 0x0B, 1, 2, 1, 2, 1, 1, 3, 1};
    const kpm::test::Bytes zero{0};
    const kpm::test::Bytes binding = Tlv(
        0x30, Concat({Tlv(0x06, Concat({{0x2B, 6}, kpm::test::Bytes(oid.begin() + 1, oid.end())})),
                      Tlv(0x04, kpm::test::Bytes(value.begin(), value.end()))}));
    const kpm::test::Bytes pdu =
        Tlv(0xA2, Concat({Tlv(0x02, zero), Tlv(0x02, zero), Tlv(0x02, zero), Tlv(0x30, binding)}));
    return Tlv(0x30, Concat({Tlv(0x02, {1}), Tlv(0x04, {'v', 'o', 'r', 't', 'e', 'l'}), pdu}));
}

// A forger answers the first request before the printer can: from another
// loopback address, or from the printer's address but another port. The
// forged answer is never taken; the printer's own, when it comes, is.
TEST(SnmpForgery, OnlyThePrintersOwnAddressAndPortAnswer) {
    const struct {
        bool sameAddress;
        bool printerAnswers;
    } cases[] = {{false, false}, {true, false}, {false, true}};
    for (const auto& c : cases) {
        std::string address;
        const int printer = kpm::test::BindRandomLoopback(SOCK_DGRAM, 161, address);
        std::string forgerAddress;
        int forger = -1;
        if (c.sameAddress) {
            forger = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
            const sockaddr_in a = kpm::test::SocketAddress(address, 0);
            ASSERT_EQ(::bind(forger, reinterpret_cast<const sockaddr*>(&a), sizeof a), 0);
        } else {
            forger = kpm::test::BindRandomLoopback(SOCK_DGRAM, 161, forgerAddress);
        }
        std::thread peer([&] {
            pollfd p{printer, POLLIN, 0};
            if (::poll(&p, 1, 2000) != 1) {
                return;
            }
            unsigned char buffer[512];
            sockaddr_in client{};
            socklen_t len = sizeof client;
            ::recvfrom(printer, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&client),
                       &len);
            const auto forged = DeviceIdResponse("MFG:Forged;");
            ::sendto(forger, forged.data(), forged.size(), 0,
                     reinterpret_cast<const sockaddr*>(&client), len);
            if (c.printerAnswers) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                const auto genuine = DeviceIdResponse("MFG:Corvane;");
                ::sendto(printer, genuine.data(), genuine.size(), 0,
                         reinterpret_cast<const sockaddr*>(&client), len);
            }
        });
        const auto result = GetSnmpValue(address, kDeviceIdCommunity, kDeviceIdOid);
        peer.join();
        if (c.printerAnswers) {
            EXPECT_EQ(AnswerOf(result).value.bytes, "MFG:Corvane;");
            EXPECT_EQ(AnswerOf(result).source, address);
        } else {
            const auto* failure = std::get_if<SnmpFailure>(&result);
            ASSERT_NE(failure, nullptr) << "took the forged answer, same address " << c.sameAddress;
            EXPECT_EQ(failure->kind, SnmpFailureKind::Timeout);
        }
        ::close(forger);
        ::close(printer);
    }
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
