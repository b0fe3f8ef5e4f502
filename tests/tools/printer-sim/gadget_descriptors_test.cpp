// What the simulator tells the kernel when it plays a USB printer through
// FunctionFS, checked against the byte layouts of the USB and FunctionFS
// formats (little-endian headers, 9-byte interface and 7-byte endpoint
// descriptors) rather than against the structures the code fills.
#include "tools/printer-sim/gadget_descriptors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using kpm::sim::DeviceIdReply;

std::uint32_t Le32At(const std::vector<unsigned char>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

TEST(GadgetDescriptors, APrinterInterfaceWithBulkOutAndBulkInAtBothSpeeds) {
    const std::vector<unsigned char> block = kpm::sim::GadgetDescriptors();
    ASSERT_EQ(block.size(), 20u + 2 * (9 + 7 + 7));
    EXPECT_EQ(Le32At(block, 0), 3u);            // FunctionFS descriptors, version 2
    EXPECT_EQ(Le32At(block, 4), block.size());  // its own length
    EXPECT_EQ(Le32At(block, 8), 1u | 2u);       // full and high speed
    EXPECT_EQ(Le32At(block, 12), 3u);
    EXPECT_EQ(Le32At(block, 16), 3u);
    const unsigned packets[2] = {64, 512};
    for (int speed = 0; speed < 2; ++speed) {
        SCOPED_TRACE(packets[speed]);
        const std::size_t at = 20 + static_cast<std::size_t>(speed) * 23;
        const std::vector<unsigned char> interface(block.begin() + at, block.begin() + at + 9);
        EXPECT_EQ(interface, (std::vector<unsigned char>{9, 4, 0, 0, 2, 7, 1, 2, 1}));
        const unsigned char lo = packets[speed] & 0xFF;
        const unsigned char hi = packets[speed] >> 8;
        const std::vector<unsigned char> out(block.begin() + at + 9, block.begin() + at + 16);
        EXPECT_EQ(out, (std::vector<unsigned char>{7, 5, 0x01, 2, lo, hi, 0}));
        const std::vector<unsigned char> in(block.begin() + at + 16, block.begin() + at + 23);
        EXPECT_EQ(in, (std::vector<unsigned char>{7, 5, 0x82, 2, lo, hi, 0}));
    }
}

TEST(GadgetDescriptors, OneInterfaceNameInUsEnglish) {
    const std::vector<unsigned char> block = kpm::sim::GadgetStrings();
    EXPECT_EQ(Le32At(block, 0), 2u);  // FunctionFS strings
    EXPECT_EQ(Le32At(block, 4), block.size());
    EXPECT_EQ(Le32At(block, 8), 1u);
    EXPECT_EQ(Le32At(block, 12), 1u);
    EXPECT_EQ(block[16], 0x09);
    EXPECT_EQ(block[17], 0x04);
    EXPECT_EQ(std::string(block.begin() + 18, block.end()), std::string("KPM printer") + '\0');
}

TEST(GadgetDescriptors, TheDeviceIdReplyCarriesItsLengthAndIsCutWhereTheHostAsks) {
    struct Case {
        std::string id;
        std::uint16_t maxLength;
        std::size_t size;
        unsigned lengthField;
    };
    const Case cases[] = {
        {"MFG:Corvane;", 1023, 14, 14},
        {"", 1023, 2, 2},
        {std::string(2000, 'x'), 1023, 1023, 2002},         // what usblp asks for
        {"MFG:Corvane;", 1, 1, 14},                         // only part of the length
        {std::string(70000, 'y'), 0xFFFF, 0xFFFF, 0xFFFF},  // too long for the field
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id.size());
        const std::vector<unsigned char> reply = DeviceIdReply(c.id, c.maxLength);
        ASSERT_EQ(reply.size(), c.size);
        EXPECT_EQ(reply[0], c.lengthField >> 8);
        if (reply.size() > 1) {
            EXPECT_EQ(reply[1], c.lengthField & 0xFF);
            EXPECT_EQ(std::string(reply.begin() + 2, reply.end()),
                      c.id.substr(0, reply.size() - 2));
        }
    }
}

}  // namespace
