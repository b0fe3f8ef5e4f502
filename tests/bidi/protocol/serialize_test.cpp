#include "bidi/protocol/serialize.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Bytes = std::vector<unsigned char>;

bool AllZero(const Bytes& b, std::size_t from, std::size_t to) {
    return std::all_of(b.begin() + static_cast<std::ptrdiff_t>(from),
                       b.begin() + static_cast<std::ptrdiff_t>(to),
                       [](unsigned char c) { return c == 0; });
}

Bytes Slice(const Bytes& b, std::size_t from, std::size_t n) {
    return Bytes(b.begin() + static_cast<std::ptrdiff_t>(from),
                 b.begin() + static_cast<std::ptrdiff_t>(from + n));
}

TEST(SerializePacket, EmptyRequestIs6144Bytes) {
    const KpBidi::Packet request = KpBidi::MakeRequest(0x01020304);
    const Bytes out = KpBidi::SerializePacket(request);

    ASSERT_EQ(out.size(), 6144u);  // 2480 bytes, 1616 of padding, 2048 more
    EXPECT_TRUE(AllZero(out, 0, 2432));
    const Bytes header{0x1B, 0x7C, 0x31, 0x30, 0x40, 0x0C, 0x43, 0x00, 0x01, 0x02, 0x03,
                       0x04, 0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
                       0,    0,    0,    0,    0,    0,    0,    0,    0,    0};
    EXPECT_EQ(Slice(out, 2432, 32), header);
    const Bytes footer{0x1B, 0x7C, 0x31, 0x30, 0x24, 0x00, 0x00, 0x00,
                       0x01, 0x02, 0x03, 0x04, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(Slice(out, 2464, 16), footer);
    EXPECT_TRUE(AllZero(out, 2480, 6144));
}

TEST(SerializePacket, StatusAndOneEightByteCommand) {
    KpBidi::Packet request = KpBidi::MakeRequest(0xA0B0C0D0);
    KpBidi::AddCommand(request, 22, Bytes(8, 0));
    KpBidi::AddCommand(request, 128, {0x00, 0x01, 0x51, 0x80, 0, 0, 0, 0});
    const Bytes out = KpBidi::SerializePacket(request);

    // 2432 + 32 + 16 + 16 + 16 = 2512 before the padding.
    const Bytes commands{0x23, 0x23, 0x00, 0x16, 0x00, 0x00, 0x00, 0x08, 0,    0,    0,
                         0,    0,    0,    0,    0,    0x23, 0x23, 0x00, 0x80, 0x00, 0x00,
                         0x00, 0x08, 0x00, 0x01, 0x51, 0x80, 0,    0,    0,    0};
    EXPECT_EQ(Slice(out, 2464, 32), commands);
    const Bytes footer{0x1B, 0x7C, 0x31, 0x30, 0x24, 0x00, 0x00, 0x00,
                       0xA0, 0xB0, 0xC0, 0xD0, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(Slice(out, 2496, 16), footer);
    EXPECT_EQ(out.size(), 2512u + (2048 - 464) + 2048);
    EXPECT_TRUE(AllZero(out, 2512, out.size()));
}

TEST(SerializePacket, AlignedLengthGetsTwoWholePaddingBlocks) {
    KpBidi::Packet request = KpBidi::MakeRequest(7);
    // 2480 + 8 + 1608 = 4096, a multiple of 2048.
    KpBidi::AddCommand(request, 28, Bytes(1608, 0xEE));
    const Bytes out = KpBidi::SerializePacket(request);
    ASSERT_EQ(out.size(), 4096u + 2048 + 2048);
    EXPECT_EQ(Slice(out, 4080, 5), (Bytes{0x1B, 0x7C, 0x31, 0x30, 0x24}));
    EXPECT_TRUE(AllZero(out, 4096, out.size()));
}

TEST(WrapNetworkMessage, EnvelopeAroundThePacket) {
    const Bytes packet{0xAA, 0xBB, 0xCC};
    EXPECT_EQ(KpBidi::WrapNetworkMessage(packet),
              (Bytes{0x40, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0xAA, 0xBB, 0xCC}));
    const Bytes big(0x010203, 0);
    const Bytes wrapped = KpBidi::WrapNetworkMessage(big);
    EXPECT_EQ(Slice(wrapped, 0, 8), (Bytes{0x40, 0x40, 0, 0, 0x00, 0x01, 0x02, 0x03}));
    EXPECT_EQ(wrapped.size(), big.size() + 8);
}

TEST(Packet, ExpectedRepliesCountsFlaggedCommands) {
    KpBidi::Packet request = KpBidi::MakeRequest(1);
    KpBidi::AddCommand(request, 22, Bytes(8, 0));
    KpBidi::AddCommand(request, 77, Bytes(8, 0));
    EXPECT_EQ(request.ExpectedReplies(), 2u);
    request.commands[0].expectsReply = false;
    EXPECT_EQ(request.ExpectedReplies(), 1u);
    EXPECT_EQ(request.header.kind, 0x0C);
    EXPECT_EQ(request.header.subkind, 0x43);
    EXPECT_EQ(request.footer.kind, 0x00);
    EXPECT_EQ(request.footer.id, 1u);
}

}  // namespace
