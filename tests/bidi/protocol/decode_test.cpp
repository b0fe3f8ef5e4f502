#include "bidi/protocol/decode.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "bidi/capi/error.h"
#include "tests/support/scripted_transport.h"
#include "tests/support/wire_bytes.h"

// Records the largest single allocation, to prove that no decoder believes a
// length field before its bytes have arrived, and counts the allocations of
// at least gCountFrom bytes (none while it is 0).
namespace {
std::atomic<std::size_t> gLargestAllocation{0};
std::atomic<std::size_t> gCountFrom{0};
std::atomic<std::size_t> gCounted{0};
}  // namespace

void* operator new(std::size_t size) {
    if (gCountFrom != 0 && size >= gCountFrom) {
        ++gCounted;
    }
    std::size_t seen = gLargestAllocation.load();
    while (size > seen && !gLargestAllocation.compare_exchange_weak(seen, size)) {
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using kpm::test::Bytes;
using kpm::test::ReadStep;
using kpm::test::ScriptedStream;

using kpm::test::Cat;
using kpm::test::CommandBytes;
using kpm::test::FooterBytes;
using kpm::test::HeaderBytes;

const Bytes kStatusOk{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

std::pair<KpBidi::Packet, std::size_t> Parse(const Bytes& b) {
    const char* first = reinterpret_cast<const char*>(b.data());
    auto [packet, next] = KpBidi::ParsePacket(first, first + b.size());
    return {std::move(packet), static_cast<std::size_t>(next - first)};
}

int ErrorCodeOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const KpBidi::Error& e) {
        EXPECT_EQ(e.message, nullptr);
        return e.code;
    }
    return 0;
}

// Every malformation, for the range decoder and the stream decoder alike.
void ExpectMalformed(const Bytes& bytes) {
    EXPECT_EQ(ErrorCodeOf([&] { Parse(bytes); }), 1006) << "range";
    auto stream = ScriptedStream::Chunked(bytes, 7);
    KpBidi::BasicInputStream input(stream.get(), 5);
    EXPECT_EQ(ErrorCodeOf([&] { KpBidi::ReadPacket(input); }), 1006) << "stream";
}

TEST(ParsePacket, DecodesHeaderCommandsAndFooter) {
    const Bytes bytes =
        Cat({Bytes(100, 0), HeaderBytes(0x11223344, 0x8C, 0x50), CommandBytes(34, {0, 0, 0, 0, 9}),
             Bytes(3, 0), CommandBytes(22, {}), FooterBytes(0x55667788), Bytes(64, 0)});
    auto [packet, used] = Parse(bytes);
    EXPECT_EQ(packet.header.kind, 0x8C);
    EXPECT_EQ(packet.header.subkind, 0x50);
    EXPECT_EQ(packet.header.id, 0x11223344u);
    ASSERT_EQ(packet.commands.size(), 2u);
    EXPECT_EQ(packet.commands[0].code, 34);
    EXPECT_EQ(packet.commands[0].data, (Bytes{0, 0, 0, 0, 9}));
    EXPECT_FALSE(packet.commands[0].expectsReply);
    EXPECT_EQ(packet.commands[1].code, 22);
    EXPECT_TRUE(packet.commands[1].data.empty());
    // The footer id is kept but not compared with the header's.
    EXPECT_EQ(packet.footer.id, 0x55667788u);
    EXPECT_EQ(used, bytes.size() - 64);
}

TEST(ParsePacket, MarkerFoundAfterABrokenPartialMatch) {
    const Bytes bytes = Cat({{0x1B, 0x1B, 0x7C, 0x31, 0x30, 0x40},
                             Bytes(27, 0),
                             CommandBytes(60, kStatusOk),
                             FooterBytes(0)});
    // The header marker starts at the second 1B, so the id is bytes 8-11 after it.
    Bytes withId = bytes;
    withId[1 + 8] = 0xAB;
    auto [packet, used] = Parse(withId);
    EXPECT_EQ(packet.header.id, 0xAB000000u);
    EXPECT_EQ(packet.commands.size(), 1u);
    EXPECT_EQ(used, withId.size());
}

TEST(ParsePacket, LeadingZerosAndPreviousPaddingAreSkipped) {
    const Bytes bytes = Cat({Bytes(6000, 0), FooterBytes(9), Bytes(4000, 0), HeaderBytes(5),
                             CommandBytes(60, kStatusOk), FooterBytes(5)});
    // A footer marker is not a header marker: it is noise before the packet.
    EXPECT_EQ(Parse(bytes).first.header.id, 5u);
}

TEST(ParsePacket, FooterCutShortAfterItsMarkerIsAcceptedOnlyFromARange) {
    Bytes bytes = Cat({HeaderBytes(3), CommandBytes(66, kStatusOk), FooterBytes(3)});
    bytes.resize(bytes.size() - 16 + 5);  // only the footer's marker remains
    auto [packet, used] = Parse(bytes);
    EXPECT_EQ(packet.footer.id, 0u);  // missing footer bytes read as zero
    EXPECT_EQ(used, bytes.size());

    auto stream = ScriptedStream::Chunked(bytes, 64);
    KpBidi::BasicInputStream input(stream.get(), 64);
    EXPECT_EQ(ErrorCodeOf([&] { KpBidi::ReadPacket(input); }), 1006);
}

TEST(Decoders, EveryMalformationIs1006) {
    const Bytes good = Cat({HeaderBytes(1), CommandBytes(60, kStatusOk), FooterBytes(1)});

    // No header marker at all, or only part of it.
    ExpectMalformed(Bytes(500, 0));
    ExpectMalformed({0x1B, 0x7C, 0x31, 0x30});
    // The header marker followed by only 20 bytes.
    ExpectMalformed(Bytes(good.begin(), good.begin() + 25));
    // 0x23 not followed by a second 0x23.
    ExpectMalformed(Cat({HeaderBytes(1), {0x23, 0x24, 0, 60, 0, 0, 0, 0}, FooterBytes(1)}));
    // Input ends inside a command's code, length or data.
    ExpectMalformed(Cat({HeaderBytes(1), {0x23, 0x23, 0}}));
    ExpectMalformed(Cat({HeaderBytes(1), {0x23, 0x23, 0, 60, 0, 0}}));
    ExpectMalformed(Cat({HeaderBytes(1), {0x23, 0x23, 0, 60, 0, 0, 0, 20}, Bytes(19, 1)}));
    // A footer marker ending in 0x23 instead of 0x24.
    ExpectMalformed(Cat({HeaderBytes(1), CommandBytes(60, kStatusOk), FooterBytes(1, 0x23)}));
    // Something other than a footer after the commands, or nothing at all.
    ExpectMalformed(Cat({HeaderBytes(1), CommandBytes(60, kStatusOk), {0x01}, FooterBytes(1)}));
    ExpectMalformed(Cat({HeaderBytes(1), CommandBytes(60, kStatusOk)}));
    ExpectMalformed(Cat({HeaderBytes(1), CommandBytes(60, kStatusOk), {0x1B, 0x7C, 0x31}}));
}

TEST(Decoders, HugeAnnouncedLengthCostsOnlyTheBytesThatArrive) {
    // A command announcing 4 GiB - 1 bytes, followed by ten.
    const Bytes bytes =
        Cat({HeaderBytes(1), {0x23, 0x23, 0x00, 0x07, 0xFF, 0xFF, 0xFF, 0xFF}, Bytes(10, 0xAB)});
    gLargestAllocation = 0;
    ExpectMalformed(bytes);
    EXPECT_LT(gLargestAllocation.load(), std::size_t{64 * 1024});

    // The same through an envelope that announces 4 GiB.
    Bytes envelope{0x40, 0x40, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
    envelope.insert(envelope.end(), 10, 0x00);
    gLargestAllocation = 0;
    auto stream = ScriptedStream::Chunked(envelope, 4);
    KpBidi::BasicInputStream input(stream.get(), 1 << 20);
    EXPECT_EQ(ErrorCodeOf([&] { KpBidi::ReadNetworkMessage(input); }), 1006);
    // The 1 MiB read buffer is the stream's; nothing beyond it was reserved.
    EXPECT_LE(gLargestAllocation.load(), std::size_t{1 << 20});
}

TEST(ReadPacket, SameReplyThroughBuffersOf1And7And512Bytes) {
    Bytes big(3000);
    for (std::size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<unsigned char>(i % 251);
    }
    const Bytes reply = Cat({Bytes(2432, 0), HeaderBytes(42), CommandBytes(22, kStatusOk),
                             CommandBytes(7, big), FooterBytes(42), Bytes(2048, 0), HeaderBytes(43),
                             CommandBytes(60, kStatusOk), FooterBytes(43)});
    std::vector<KpBidi::Packet> decoded;
    for (std::size_t n : {1u, 7u, 512u}) {
        auto stream = ScriptedStream::Chunked(reply, 333);
        KpBidi::BasicInputStream input(stream.get(), n);
        KpBidi::Packet first = KpBidi::ReadPacket(input);
        KpBidi::Packet second = KpBidi::ReadPacket(input);
        ASSERT_EQ(first.commands.size(), 2u) << n;
        EXPECT_EQ(first.header.id, 42u);
        EXPECT_EQ(first.commands[1].data, big) << n;
        EXPECT_EQ(second.header.id, 43u);
        EXPECT_EQ(second.commands.at(0).code, 60);
        // Exactly up to the end of the footer: nothing is left.
        EXPECT_EQ(input.get(), std::char_traits<char>::eof());
    }
}

TEST(ReadPacket, CommandIsReservedWholeOnceThePacketHasBroughtAnEighthOfIt) {
    // The first read brings the padding, the header, the command's prefix
    // and 100 of its 16384 bytes: 2572 bytes, more than an eighth of it.
    const Bytes big(16384, 0x5A);
    const Bytes reply =
        Cat({Bytes(2432, 0), HeaderBytes(42), CommandBytes(7, big), FooterBytes(42)});
    auto stream = ScriptedStream::Chunked(reply, 2572);
    KpBidi::BasicInputStream input(stream.get(), 4096);
    gCounted = 0;
    gCountFrom = 64;
    const KpBidi::Packet packet = KpBidi::ReadPacket(input);
    gCountFrom = 0;
    EXPECT_EQ(packet.commands.at(0).data, big);
    // The command's storage alone: no smaller vector grown and copied over.
    EXPECT_EQ(gCounted.load(), 1u);
}

TEST(ReadPacket, TransportExceptionsPassThroughUnchanged) {
    const Bytes partial = Cat({HeaderBytes(1), {0x23, 0x23}});
    ScriptedStream timesOut({ReadStep::Chunk(partial), ReadStep::Timeout()});
    KpBidi::BasicInputStream a(&timesOut, 512);
    EXPECT_THROW(KpBidi::ReadPacket(a), KpBidi::communications::TimeoutException);

    ScriptedStream fails({ReadStep::Chunk(partial), ReadStep::LibraryError()});
    KpBidi::BasicInputStream b(&fails, 512);
    try {
        KpBidi::ReadPacket(b);
        FAIL();
    } catch (const KpBidi::Error& e) {
        EXPECT_EQ(e.code, 1011);
        EXPECT_STREQ(e.message, "scripted failure");
    }
}

TEST(StreamPacket, HandsOverCommandsOfTheWantedIdOnly) {
    const Bytes reply =
        Cat({HeaderBytes(99), CommandBytes(6, Bytes(5000, 1)), FooterBytes(99), Bytes(100, 0),
             HeaderBytes(7), CommandBytes(6, {1, 2}), CommandBytes(6, {3}), FooterBytes(7)});
    auto stream = ScriptedStream::Chunked(reply, 1000);
    KpBidi::BasicInputStream input(stream.get(), 256);
    std::vector<Bytes> seen;
    const auto handler = [&](const KpBidi::CommandView& c) {
        seen.emplace_back(c.data.begin(), c.data.end());
    };
    EXPECT_EQ(KpBidi::StreamPacket(input, 7, handler), 0u);  // stale id: dropped
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(KpBidi::StreamPacket(input, 7, handler), 2u);
    EXPECT_EQ(seen, (std::vector<Bytes>{{1, 2}, {3}}));
}

TEST(StreamPacket, CommandIsHandedOverBeforeTheRestArrives) {
    // The second command's data never comes; the first must already be out.
    const Bytes partial =
        Cat({HeaderBytes(1), CommandBytes(6, {9}), {0x23, 0x23, 0, 6, 0, 0, 0, 50}});
    ScriptedStream stream({ReadStep::Chunk(partial), ReadStep::Timeout()});
    KpBidi::BasicInputStream input(&stream, 512);
    int handed = 0;
    EXPECT_THROW(KpBidi::StreamPacket(input, 1, [&](const KpBidi::CommandView&) { ++handed; }),
                 KpBidi::communications::TimeoutException);
    EXPECT_EQ(handed, 1);
}

TEST(DecodeNetworkPayload, TwoPacketsAndPaddingYieldBoth) {
    const Bytes payload = Cat({Bytes(2432, 0), HeaderBytes(1), CommandBytes(22, kStatusOk),
                               FooterBytes(1), Bytes(1500, 0), HeaderBytes(2),
                               CommandBytes(66, kStatusOk), FooterBytes(2), Bytes(4096, 0)});
    const auto packets = KpBidi::DecodeNetworkPayload(payload);
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_EQ(packets[0].header.id, 1u);
    EXPECT_EQ(packets[1].header.id, 2u);
    EXPECT_EQ(packets[1].commands.at(0).code, 66);

    // A broken second packet ends decoding without an error.
    const Bytes broken = Cat({HeaderBytes(1),
                              CommandBytes(22, kStatusOk),
                              FooterBytes(1),
                              HeaderBytes(2),
                              {0x23, 0x01}});
    EXPECT_EQ(KpBidi::DecodeNetworkPayload(broken).size(), 1u);
    EXPECT_TRUE(KpBidi::DecodeNetworkPayload({}).empty());
}

TEST(ReadNetworkMessage, FindsTheEnvelopeAndReadsItsPayload) {
    // Noise with a lone 0x40, then an envelope whose bytes 2-3 are not zero.
    const Bytes bytes{0x01, 0x40, 0x02, 0x40, 0x40, 0xDE, 0xAD, 0x00,
                      0x00, 0x00, 0x03, 0x0A, 0x0B, 0x0C, 0x77};
    for (std::size_t n : {1u, 3u, 512u}) {
        auto stream = ScriptedStream::Chunked(bytes, 2);
        KpBidi::BasicInputStream input(stream.get(), n);
        EXPECT_EQ(KpBidi::ReadNetworkMessage(input), (Bytes{0x0A, 0x0B, 0x0C})) << n;
        EXPECT_EQ(input.get(), 0x77);  // nothing beyond the payload was consumed
    }
}

TEST(ReadNetworkMessage, EnvelopeCutShortIs1006) {
    for (const Bytes& bytes : {Bytes{0x00, 0x40}, Bytes{0x40, 0x40, 0, 0, 0, 0},
                               Bytes{0x40, 0x40, 0, 0, 0, 0, 0, 5, 1, 2, 3, 4}}) {
        auto stream = ScriptedStream::Chunked(bytes, 3);
        KpBidi::BasicInputStream input(stream.get(), 16);
        EXPECT_EQ(ErrorCodeOf([&] { KpBidi::ReadNetworkMessage(input); }), 1006);
    }
}

}  // namespace
