#include "bidi/communications/linux/network_stream.h"

#include <gtest/gtest.h>

#include <poll.h>

#include <chrono>
#include <cstring>
#include <future>
#include <stdexcept>

#include "bidi/capi/error.h"
#include "bidi/communications/linux/network_connector.h"
#include "tests/support/tcp_peer.h"

namespace {

using KpBidi::communications::TimeoutException;
using KpBidi::communications::linux::NetworkConnector;
using KpBidi::communications::linux::NetworkStream;
using kpm::test::Bytes;
using kpm::test::ReadBytes;
using kpm::test::TcpPeer;
using kpm::test::WriteBytes;

Bytes Pattern(std::size_t n, unsigned seed) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) {
        b[i] = static_cast<unsigned char>((i * 31 + seed) & 0xFF);
    }
    return b;
}

// Reads until the peer closes, with a buffer of `bufferSize` bytes, and
// records how many bytes each read returned.
Bytes ReadToEnd(NetworkStream& stream, std::size_t bufferSize, std::vector<std::int64_t>& counts) {
    Bytes all;
    std::vector<unsigned char> buffer(bufferSize);
    for (;;) {
        bool ok = false;
        const std::int64_t n = stream.Read(buffer, ok);
        EXPECT_TRUE(ok);
        counts.push_back(n);
        if (n == 0) {
            return all;
        }
        all.insert(all.end(), buffer.begin(), buffer.begin() + n);
    }
}

TEST(NetworkStream, RequestArrivesWholeAndTheReplyReadsBackUntilThePrinterCloses) {
    const Bytes request = Pattern(6536, 1);
    const Bytes reply = Pattern(300'000, 7);  // far more than one read takes
    std::promise<Bytes> seen;
    TcpPeer printer(0, [&](int fd) {
        seen.set_value(ReadBytes(fd, request.size()));
        WriteBytes(fd, reply);
        return false;  // then close: the end of the reply
    });

    NetworkStream stream(printer.address(), printer.port());
    EXPECT_TRUE(stream.Write(request.data(), static_cast<std::int32_t>(request.size())));
    EXPECT_EQ(seen.get_future().get(), request);

    std::vector<std::int64_t> counts;
    const Bytes got = ReadToEnd(stream, 4096, counts);
    EXPECT_EQ(got, reply);
    EXPECT_GT(counts.size(), 2u);
    for (std::int64_t n : counts) {
        EXPECT_LE(n, 4096);
    }
    // A read after the end answers 0 again, with ok set.
    std::vector<unsigned char> buffer(16);
    bool ok = false;
    EXPECT_EQ(stream.Read(buffer, ok), 0);
    EXPECT_TRUE(ok);
}

TEST(NetworkStream, ReadNeverResizesTheCallersBuffer) {
    TcpPeer printer(0, [](int fd) {
        WriteBytes(fd, Pattern(100, 3));
        return false;
    });
    NetworkStream stream(printer.address(), printer.port());
    std::vector<unsigned char> buffer(7, 0xEE);
    bool ok = false;
    const std::int64_t n = stream.Read(buffer, ok);
    EXPECT_TRUE(ok);
    EXPECT_GT(n, 0);
    EXPECT_LE(n, 7);
    EXPECT_EQ(buffer.size(), 7u);
}

TEST(NetworkStream, ConnectFailuresFollowTheFailureTable) {
    // Nothing listens on a fresh loopback address: the connection is refused.
    std::string address;
    const int holder = kpm::test::BindRandomLoopback(SOCK_STREAM, 0, address);
    sockaddr_in bound{};
    socklen_t len = sizeof bound;
    ::getsockname(holder, reinterpret_cast<sockaddr*>(&bound), &len);
    const std::uint16_t unusedPort = ntohs(bound.sin_port);  // bound, never listening
    try {
        NetworkStream stream(address, unusedPort);
        ADD_FAILURE() << "connected to a port nobody listens on";
    } catch (const KpBidi::Error& e) {
        EXPECT_EQ(e.code, KpBidi::UnsupportedPort);
    }
    ::close(holder);

    // A name that does not resolve, and one that resolves to IPv6 only: only
    // IPv4 addresses are asked for, so both fail in name resolution.
    for (const char* host : {"no-such-printer.invalid", "::1"}) {
        try {
            NetworkStream stream(host, 48000);
            ADD_FAILURE() << host << " resolved";
        } catch (const KpBidi::Error& e) {
            EXPECT_EQ(e.code, KpBidi::CommunicationError) << host;
            ASSERT_NE(e.message, nullptr);
            EXPECT_STREQ(e.message, "Address::GetAddressInfo: name resolution is failed");
        }
    }
}

// A listener that never accepts: once its queue is full, the kernel drops
// further handshakes, and a connect would wait for minutes. It waits as long
// as a read does and is reported as a time-out.
TEST(NetworkStream, AHandshakeThatNeverCompletesTimesOutLikeARead) {
    std::string address;
    const int listener = kpm::test::BindRandomLoopback(SOCK_STREAM, 0, address);
    ASSERT_EQ(::listen(listener, 0), 0);
    sockaddr_in bound{};
    socklen_t len = sizeof bound;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&bound), &len);
    // Fill the queue: connect until one handshake does not complete.
    std::vector<int> fillers;
    for (bool full = false; !full && fillers.size() < 16;) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        ::connect(fd, reinterpret_cast<const sockaddr*>(&bound), sizeof bound);
        pollfd p{fd, POLLOUT, 0};
        full = ::poll(&p, 1, 300) == 0;
        fillers.push_back(fd);
    }
    const auto start = std::chrono::steady_clock::now();
    try {
        NetworkStream stream(address, ntohs(bound.sin_port));
        ADD_FAILURE() << "connected to a listener whose queue is full";
    } catch (const KpBidi::Error& e) {
        EXPECT_EQ(e.code, KpBidi::Timeout);
    }
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, KpBidi::communications::linux::Connection::kConnectTimeout);
    EXPECT_LT(waited,
              KpBidi::communications::linux::Connection::kConnectTimeout + std::chrono::seconds(2));
    for (const int fd : fillers) {
        ::close(fd);
    }
    ::close(listener);
}

TEST(NetworkStream, WritesToAResetConnectionFailWithoutKillingTheProcess) {
    std::promise<void> resetDone;
    TcpPeer printer(0, [&](int fd) {
        kpm::test::Reset(fd);
        resetDone.set_value();
        return true;
    });
    NetworkStream stream(printer.address(), printer.port());
    resetDone.get_future().wait();

    // The first send reports the reset; the second meets a closed pipe,
    // which with SIGPIPE at its default would end this test program.
    const Bytes request = Pattern(64, 2);
    for (int i = 0; i < 2; ++i) {
        try {
            stream.Write(request.data(), static_cast<std::int32_t>(request.size()));
            ADD_FAILURE() << "write " << i << " on a reset connection succeeded";
        } catch (const KpBidi::Error& e) {
            EXPECT_EQ(e.code, KpBidi::CommunicationError);
            EXPECT_STREQ(e.message, "Connection::Send");
        }
    }
}

TEST(NetworkStream, ResetBeforeAnyReplyFailsTheRead) {
    std::promise<void> resetDone;
    TcpPeer printer(0, [&](int fd) {
        kpm::test::Reset(fd);
        resetDone.set_value();
        return true;
    });
    NetworkStream stream(printer.address(), printer.port());
    resetDone.get_future().wait();
    std::vector<unsigned char> buffer(64);
    bool ok = false;
    try {
        stream.Read(buffer, ok);
        ADD_FAILURE() << "read on a reset connection succeeded";
    } catch (const KpBidi::Error&) {
        ADD_FAILURE() << "a receive failure is a plain exception, not a library error";
    } catch (const TimeoutException&) {
        ADD_FAILURE() << "a reset is not a time-out";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Connection::Recieve");
    }
}

TEST(NetworkStream, NegativeLengthIsRefusedBeforeAnythingIsSent) {
    std::promise<Bytes> seen;
    TcpPeer printer(0, [&](int fd) {
        seen.set_value(ReadBytes(fd, 1));
        return false;
    });
    {
        NetworkStream stream(printer.address(), printer.port());
        const unsigned char byte = 1;
        try {
            stream.Write(&byte, -1);
            ADD_FAILURE() << "negative length accepted";
        } catch (const KpBidi::Error& e) {
            EXPECT_EQ(e.code, KpBidi::InvalidArgument);
        }
    }
    EXPECT_TRUE(seen.get_future().get().empty());
}

TEST(NetworkConnector, AnswersForItsOwnTransportOnly) {
    NetworkConnector connector("127.0.0.1");
    EXPECT_EQ(connector.GetProtocolType(), 1);
    EXPECT_EQ(connector.GetPreferredReadSize(), 0u);
    try {
        connector.OpenUsbStream();
        ADD_FAILURE() << "a network connector opened a USB stream";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "attempted to open USB for network printer");
    }
    for (int port : {0, -1, 65536}) {
        try {
            connector.OpenNetworkStream(port);
            ADD_FAILURE() << "port " << port << " accepted";
        } catch (const KpBidi::Error& e) {
            EXPECT_EQ(e.code, KpBidi::InvalidArgument);
        }
    }
}

TEST(NetworkConnector, OpensAStreamToTheHostAndPortAsked) {
    const Bytes reply = Pattern(10, 9);
    TcpPeer printer(0, [&](int fd) {
        WriteBytes(fd, reply);
        return false;
    });
    NetworkConnector connector(printer.address());
    const auto stream = connector.OpenNetworkStream(printer.port());
    std::vector<unsigned char> buffer(64);
    bool ok = false;
    const std::int64_t n = stream->Read(buffer, ok);
    ASSERT_EQ(n, 10);
    EXPECT_TRUE(std::equal(reply.begin(), reply.end(), buffer.begin()));
}

}  // namespace
