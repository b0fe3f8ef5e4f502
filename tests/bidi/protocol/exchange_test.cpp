#include "bidi/protocol/exchange.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

#include "bidi/capi/error.h"
#include "bidi/protocol/serialize.h"
#include "tests/support/scripted_transport.h"
#include "tests/support/wire_bytes.h"

namespace {

using KpBidi::communications::NetworkProtocol;
using KpBidi::communications::UsbProtocol;
using kpm::test::Bytes;
using kpm::test::ReadStep;
using kpm::test::ScriptedConnector;
using kpm::test::ScriptedStream;

constexpr std::uint32_t kId = 0x0A0B0C0D;

using kpm::test::EnvelopeBytes;
using kpm::test::ReplyPacketBytes;

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Bytes kOk(16, 0);

KpBidi::Packet TwoCommandRequest() {
    KpBidi::Packet request = KpBidi::MakeRequest(kId);
    KpBidi::AddCommand(request, 22, Bytes(8, 0));
    KpBidi::AddCommand(request, 77, Bytes(8, 0));
    return request;
}

// A connector of the given protocol whose one stream plays `script`; the
// stream stays observable after the exchange destroyed it.
struct Rig {
    Rig(int protocol, std::deque<ReadStep> script, bool acceptWrite = true)
        : connector(protocol, [this, script, acceptWrite] {
              auto s = std::make_unique<ScriptedStream>(script, acceptWrite);
              ++streamsOpened;
              last = s.get();
              written = &s->writes;
              return std::unique_ptr<KpBidi::communications::Stream>(
                  new Recorder(std::move(s), *this));
          }) {}

    // Keeps what the stream saw after the exchange destroyed it.
    struct Recorder : KpBidi::communications::Stream {
        Recorder(std::unique_ptr<ScriptedStream> s, Rig& rig) : inner(std::move(s)), rig(rig) {}
        ~Recorder() override {
            rig.writes = inner->writes;
            rig.bufferSize = inner->lastBufferSize;
            rig.closed = true;
        }
        bool Write(const unsigned char* d, std::int32_t n) override { return inner->Write(d, n); }
        std::int64_t Read(std::vector<unsigned char>& b, bool& ok) override {
            return inner->Read(b, ok);
        }
        std::unique_ptr<ScriptedStream> inner;
        Rig& rig;
    };

    ScriptedConnector connector;
    int streamsOpened = 0;
    ScriptedStream* last = nullptr;
    std::vector<Bytes>* written = nullptr;
    std::vector<Bytes> writes;
    std::size_t bufferSize = 0;
    bool closed = false;
};

using namespace std::chrono_literals;

// A printer that sends `all` over and over without a pause, until
// `endAfter` has passed since it was connected; then the end.
class FloodStream : public KpBidi::communications::Stream {
public:
    FloodStream(Bytes all, std::chrono::milliseconds endAfter)
        : all_(std::move(all)), end_(std::chrono::steady_clock::now() + endAfter) {}

    bool Write(const unsigned char*, std::int32_t) override { return true; }
    std::int64_t Read(std::vector<unsigned char>& buffer, bool& ok) override {
        ok = true;
        if (std::chrono::steady_clock::now() > end_) {
            return 0;
        }
        const std::size_t n = std::min(buffer.size(), all_.size() - at_);
        std::copy_n(all_.begin() + static_cast<std::ptrdiff_t>(at_), n, buffer.begin());
        at_ = (at_ + n) % all_.size();
        return static_cast<std::int64_t>(n);
    }

private:
    Bytes all_;
    std::chrono::steady_clock::time_point end_;
    std::size_t at_ = 0;
};

int CodeOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const KpBidi::Error& e) {
        return e.code;
    }
    return 0;
}

TEST(MakePacketId, TenMillisecondTicksModulo0xFFFFFFFF) {
    using KpBidi::PacketIdFromNanoseconds;
    EXPECT_EQ(PacketIdFromNanoseconds(0), 0u);
    EXPECT_EQ(PacketIdFromNanoseconds(9'999'999), 0u);
    EXPECT_EQ(PacketIdFromNanoseconds(10'000'000), 1u);
    const std::uint64_t tick = 10'000'000;
    EXPECT_EQ(PacketIdFromNanoseconds(0xFFFF'FFFEull * tick), 0xFFFF'FFFEu);
    EXPECT_EQ(PacketIdFromNanoseconds(0xFFFF'FFFFull * tick), 0u);  // wraps to 0, not 0xFFFFFFFF
    EXPECT_EQ(PacketIdFromNanoseconds(0x1'0000'0000ull * tick), 1u);

    // Two calls in quick succession almost always share a tick; they never
    // go backwards by more than a wrap.
    const std::uint32_t a = KpBidi::MakePacketId();
    const std::uint32_t b = KpBidi::MakePacketId();
    EXPECT_LE(b - a, 1u);
}

TEST(ExchangePackets, NetworkRequestGoesOutInAnEnvelopeToPort48000) {
    Rig rig(NetworkProtocol,
            {ReadStep::Chunk(EnvelopeBytes(ReplyPacketBytes(kId, {{22, kOk}, {66, kOk}})))});
    const auto replies = KpBidi::ExchangePackets(rig.connector, TwoCommandRequest());
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].commands.size(), 2u);
    EXPECT_EQ(rig.connector.lastPort, 48000);
    EXPECT_EQ(rig.connector.usbOpens, 0);
    ASSERT_EQ(rig.writes.size(), 1u);  // one Write with the whole request
    EXPECT_EQ(rig.writes[0],
              KpBidi::WrapNetworkMessage(KpBidi::SerializePacket(TwoCommandRequest())));
    EXPECT_EQ(rig.bufferSize, 1u << 20);
    EXPECT_TRUE(rig.closed);
}

TEST(ExchangePackets, UsbRequestGoesOutBareAndIsReadInPreferredChunks) {
    Rig rig(UsbProtocol, {ReadStep::Chunk(ReplyPacketBytes(kId, {{22, kOk}, {66, kOk}}))});
    rig.connector.preferredReadSize = 64;
    const auto replies = KpBidi::ExchangePackets(rig.connector, TwoCommandRequest());
    ASSERT_EQ(replies.size(), 1u);
    ASSERT_EQ(rig.writes.size(), 1u);
    EXPECT_EQ(rig.writes[0], KpBidi::SerializePacket(TwoCommandRequest()));
    EXPECT_EQ(rig.bufferSize, 64u);

    Rig plain(UsbProtocol, {ReadStep::Chunk(ReplyPacketBytes(kId, {{22, kOk}, {66, kOk}}))});
    KpBidi::ExchangePackets(plain.connector, TwoCommandRequest());
    EXPECT_EQ(plain.bufferSize, 512u);  // no preference: 512 bytes
}

TEST(ExchangePackets, CompletionCountsCommandsOfMatchingPacketsOnly) {
    // Stale id first, then the right id with no commands, then one command
    // per packet: three matching packets, of which the two carrying a reply
    // are kept (an empty one counts nothing and is not kept).
    for (int protocol : {UsbProtocol, NetworkProtocol}) {
        const Bytes stale = ReplyPacketBytes(kId - 1, {{22, kOk}, {66, kOk}});
        const Bytes empty = ReplyPacketBytes(kId, {});
        const Bytes first = ReplyPacketBytes(kId, {{22, kOk}});
        const Bytes second = ReplyPacketBytes(kId, {{66, kOk}});
        std::deque<ReadStep> script;
        if (protocol == UsbProtocol) {
            script.push_back(ReadStep::Chunk(stale + empty + first + second));
        } else {
            script.push_back(ReadStep::Chunk(EnvelopeBytes(stale)));
            script.push_back(ReadStep::Chunk(EnvelopeBytes(empty + first)));
            script.push_back(ReadStep::Chunk(EnvelopeBytes(second)));
        }
        // Anything after completion must not be waited for.
        script.push_back(ReadStep::Timeout());
        Rig rig(protocol, script);
        const auto replies = KpBidi::ExchangePackets(rig.connector, TwoCommandRequest());
        ASSERT_EQ(replies.size(), 2u) << protocol;
        EXPECT_EQ(replies[0].commands.at(0).code, 22);
        EXPECT_EQ(replies[1].commands.at(0).code, 66);
    }
}

TEST(ExchangePackets, PayloadWithBothRepliesAndPaddingIsOnePacket) {
    Rig rig(NetworkProtocol, {ReadStep::Chunk(EnvelopeBytes(
                                 ReplyPacketBytes(kId, {{22, kOk}, {66, kOk}}) + Bytes(4096, 0)))});
    EXPECT_EQ(KpBidi::ExchangePackets(rig.connector, TwoCommandRequest()).size(), 1u);
}

// A reply beyond the bound is refused on its announced length (1006), not
// read: after the announcement the printer falls silent, which would be 1005
// had the exchange gone on to read. Within the bound it is read.
TEST(ExchangePackets, RepliesBeyondTheBoundAreRefusedUnread) {
    using kpm::test::Cat;
    using kpm::test::HeaderBytes;
    const auto announce = [](std::uint32_t length) {
        Bytes b{0x23, 0x23, 0x00, 66};
        kpm::test::PutBe32(b, length);
        return b;
    };
    const std::uint32_t big = KpBidi::kMaxReplyBytes;
    const Bytes usbCommand = Cat({HeaderBytes(kId), announce(big)});
    Bytes envelope{0x40, 0x40, 0x00, 0x00};
    kpm::test::PutBe32(envelope, 512u << 20);
    const Bytes networkPayload = Cat({envelope, HeaderBytes(kId)});
    // Two packets of half the bound each: together beyond it.
    const Bytes half = ReplyPacketBytes(kId, {{22, Bytes(big / 2, 0)}}) +
                       ReplyPacketBytes(kId, {{66, Bytes(big / 2, 0)}});
    const struct {
        int protocol;
        Bytes reply;
    } cases[] = {
        {UsbProtocol, usbCommand},
        {NetworkProtocol, networkPayload},
        {UsbProtocol, half},
    };
    for (const auto& c : cases) {
        Rig rig(c.protocol, {ReadStep::Chunk(c.reply), ReadStep::Timeout()});
        EXPECT_EQ(CodeOf([&] { KpBidi::ExchangePackets(rig.connector, TwoCommandRequest()); }),
                  1006)
            << c.protocol << " " << c.reply.size();
    }
    // The data path's bound is larger.
    KpBidi::Packet read = KpBidi::MakeRequest(kId);
    KpBidi::AddCommand(read, 28, Bytes(8, 0));
    Rig rig(NetworkProtocol,
            {ReadStep::Chunk(EnvelopeBytes(ReplyPacketBytes(kId, {{7, Bytes(big, 1)}})))});
    const auto replies = KpBidi::ExchangePackets(rig.connector, read, KpBidi::kMaxDataReplyBytes);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].commands.at(0).data.size(), big);
}

TEST(ExchangePackets, FailureTable) {
    const KpBidi::Packet request = TwoCommandRequest();
    for (int protocol : {UsbProtocol, NetworkProtocol}) {
        SCOPED_TRACE(protocol);
        {  // unreachable: 1003, nothing opened
            Rig rig(protocol, {});
            rig.connector.available = false;
            EXPECT_EQ(CodeOf([&] { KpBidi::ExchangePackets(rig.connector, request); }), 1003);
            EXPECT_EQ(rig.streamsOpened, 0);
        }
        {  // refused write: 1011
            Rig rig(protocol, {}, false);
            EXPECT_EQ(CodeOf([&] { KpBidi::ExchangePackets(rig.connector, request); }), 1011);
            EXPECT_TRUE(rig.closed);
        }
        {  // a read times out: 1005
            Rig rig(protocol, {ReadStep::Timeout()});
            EXPECT_EQ(CodeOf([&] { KpBidi::ExchangePackets(rig.connector, request); }), 1005);
            EXPECT_TRUE(rig.closed);
        }
        {  // malformed reply: 1006
            Bytes bad = ReplyPacketBytes(kId, {{22, kOk}});
            bad[32 + 32] = 0x23;  // the first command tag, not followed by another
            bad[32 + 33] = 0x00;
            Rig rig(protocol,
                    {ReadStep::Chunk(protocol == UsbProtocol ? bad : EnvelopeBytes(bad))});
            const int code = CodeOf([&] { KpBidi::ExchangePackets(rig.connector, request); });
            // The network path drops a payload it cannot decode and reads on,
            // so the stream's end shows up as the envelope decoder's 1006.
            EXPECT_EQ(code, 1006);
        }
        {  // the stream ends before a complete packet: 1006
            Bytes cut = ReplyPacketBytes(kId, {{22, kOk}, {66, kOk}});
            cut.resize(100);
            Rig rig(protocol,
                    {ReadStep::Chunk(protocol == UsbProtocol ? cut : EnvelopeBytes(cut))});
            EXPECT_EQ(CodeOf([&] { KpBidi::ExchangePackets(rig.connector, request); }), 1006);
        }
        {  // other transport failures pass through unchanged
            Rig rig(protocol, {ReadStep::PlainError()});
            EXPECT_THROW(KpBidi::ExchangePackets(rig.connector, request), std::runtime_error);
            Rig rig2(protocol, {ReadStep::LibraryError()});
            try {
                KpBidi::ExchangePackets(rig2.connector, request);
                FAIL();
            } catch (const KpBidi::Error& e) {
                EXPECT_EQ(e.code, 1011);
                EXPECT_STREQ(e.message, "scripted failure");
            }
        }
    }
}

TEST(ExchangePackets, APrinterThatNeverCompletesItsReplyIsCutOffAtTheTimeLimit) {
    // Late answers without end and without a pause, so no read ever waits:
    // only the bound on the whole exchange ends it. Without it the flood
    // would end after 20 s with 1006.
    const Bytes stale = ReplyPacketBytes(kId + 1, {{22, kOk}, {66, kOk}});
    for (int protocol : {UsbProtocol, NetworkProtocol}) {
        SCOPED_TRACE(protocol);
        const Bytes again = protocol == UsbProtocol ? stale : EnvelopeBytes(stale);
        ScriptedConnector connector(protocol,
                                    [&] { return std::make_unique<FloodStream>(again, 20'000ms); });
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(CodeOf([&] {
                      KpBidi::ExchangePackets(connector, TwoCommandRequest(),
                                              KpBidi::kMaxReplyBytes, 300ms);
                  }),
                  1005);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    }
}

TEST(ExchangePackets, BusyUsbPortIs1009) {
    Rig rig(UsbProtocol, {});
    rig.connector.busy = true;
    EXPECT_EQ(CodeOf([&] { KpBidi::ExchangePackets(rig.connector, TwoCommandRequest()); }), 1009);
    EXPECT_EQ(rig.streamsOpened, 0);
}

TEST(ExchangePackets, UnknownProtocolTypeOpensNothing) {
    Rig rig(2, {});
    try {
        KpBidi::ExchangePackets(rig.connector, TwoCommandRequest());
        FAIL();
    } catch (const std::domain_error& e) {
        EXPECT_STREQ(e.what(), "Invalid protocol type.");
    }
    EXPECT_EQ(rig.streamsOpened, 0);
    EXPECT_EQ(rig.connector.usbOpens + rig.connector.networkOpens, 0);
}

TEST(ExchangeStreaming, HandsCommandsOverInArrivalOrder) {
    KpBidi::Packet request = KpBidi::MakeRequest(kId);
    KpBidi::AddCommand(request, 35, Bytes(8, 0));
    const Bytes stale = ReplyPacketBytes(kId + 1, {{6, {9}}});
    const Bytes reply = ReplyPacketBytes(kId, {{6, {1}}, {6, {2}}, {6, {3}}});
    for (int protocol : {UsbProtocol, NetworkProtocol}) {
        std::deque<ReadStep> script;
        if (protocol == UsbProtocol) {
            script.push_back(ReadStep::Chunk(stale + reply));
        } else {
            script.push_back(ReadStep::Chunk(EnvelopeBytes(stale)));
            script.push_back(ReadStep::Chunk(EnvelopeBytes(reply)));
        }
        script.push_back(ReadStep::Timeout());
        Rig rig(protocol, script);
        std::vector<Bytes> seen;
        KpBidi::ExchangeStreaming(rig.connector, request, [&](const KpBidi::CommandView& c) {
            seen.emplace_back(c.data.begin(), c.data.end());
        });
        EXPECT_EQ(seen, (std::vector<Bytes>{{1}, {2}, {3}})) << protocol;
        EXPECT_TRUE(rig.closed);
    }
}

TEST(ExchangeStreaming, SameChecksAndTranslation) {
    KpBidi::Packet request = KpBidi::MakeRequest(kId);
    KpBidi::AddCommand(request, 35, Bytes(8, 0));
    const auto ignore = [](const KpBidi::CommandView&) {};
    {
        Rig rig(NetworkProtocol, {});
        rig.connector.available = false;
        EXPECT_EQ(CodeOf([&] { KpBidi::ExchangeStreaming(rig.connector, request, ignore); }), 1003);
    }
    {
        Rig rig(5, {});
        EXPECT_THROW(KpBidi::ExchangeStreaming(rig.connector, request, ignore), std::domain_error);
    }
    {
        Rig rig(UsbProtocol, {});
        rig.connector.busy = true;
        EXPECT_EQ(CodeOf([&] { KpBidi::ExchangeStreaming(rig.connector, request, ignore); }), 1009);
    }
    for (int protocol : {UsbProtocol, NetworkProtocol}) {
        Rig rig(protocol, {ReadStep::Timeout()});
        EXPECT_EQ(CodeOf([&] { KpBidi::ExchangeStreaming(rig.connector, request, ignore); }), 1005);
        Rig refused(protocol, {}, false);
        EXPECT_EQ(CodeOf([&] { KpBidi::ExchangeStreaming(refused.connector, request, ignore); }),
                  1011);
    }
}

TEST(ExchangeStreaming, TheCallersDeadlineEndsItUnlessProgressRestartsIt) {
    // Twelve commands in one packet, trickled a command's size (24 bytes)
    // every 50 ms: about 800 ms in all against a deadline of 400 ms.
    KpBidi::Packet request = KpBidi::MakeRequest(kId);
    KpBidi::AddCommand(request, 35, Bytes(8, 0));
    std::vector<std::pair<std::uint16_t, Bytes>> commands;
    for (unsigned char i = 0; i < 12; ++i) {
        commands.push_back({6, Bytes(16, i)});
    }
    const Bytes reply = ReplyPacketBytes(kId, commands);
    for (int protocol : {UsbProtocol, NetworkProtocol}) {
        SCOPED_TRACE(protocol);
        const Bytes all = protocol == UsbProtocol ? reply : EnvelopeBytes(reply);
        ScriptedConnector connector(protocol, [&] {
            auto stream = ScriptedStream::Chunked(all, 24);
            stream->pauseBeforeData = 50ms;
            return stream;
        });
        for (const bool restart : {true, false}) {
            SCOPED_TRACE(restart);
            KpBidi::communications::Deadline deadline(400ms);
            int seen = 0;
            const int code = CodeOf([&] {
                KpBidi::ExchangeStreaming(
                    connector, request,
                    [&](const KpBidi::CommandView&) {
                        ++seen;
                        if (restart) {
                            deadline.Restart();
                        }
                    },
                    deadline);
            });
            EXPECT_EQ(code, restart ? 0 : 1005);
            EXPECT_EQ(seen == 12, restart);
        }
    }
}

}  // namespace
