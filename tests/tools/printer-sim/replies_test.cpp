// What the simulator answers to each command, checked on the wire with the
// hand-written client: whole replies byte for byte where the layout is
// fixed, and the printer rules the simulator's README lists.
#include <gtest/gtest.h>

#include <thread>

#include "tests/tools/printer-sim/wire_client.h"
#include "tools/printer-sim/simulator.h"

namespace {

using namespace kpm::wire_test;
using kpm::sim::Simulator;

Bytes Hex(std::initializer_list<int> bytes) {
    Bytes b;
    for (int v : bytes) {
        b.push_back(static_cast<unsigned char>(v));
    }
    return b;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

Bytes Text(const std::string& s, std::size_t field) {
    Bytes b(s.begin(), s.end());
    b.resize(field, 0);
    return b;
}

TEST(Replies, PrinterInfoWholeReplyByteForByte) {
    Simulator sim;
    const Bytes reply = Exchange(sim.address(), 0x01020304, {C22(), C(108)});

    const Bytes status22 = Concat({Hex({0x23, 0x23, 0x00, 0x16, 0, 0, 0, 16}), Bytes(16, 0)});
    const Bytes info = Concat({Hex({0x23, 0x23, 0x00, 0x3C, 0, 0, 0, 46}), Bytes(4, 0),
                               Text("BKPM735H0000012345", 18), Text("A7350142", 18),
                               Hex({0x02, 0x4B, 0x50, 0x4D, 0x07, 0x35})});
    Bytes packet =
        Concat({Bytes(2432, 0), Hex({0x1B, 0x7C, 0x31, 0x30, 0x40, 0x0C, 0x43, 0x00, 1, 2, 3, 4}),
                Bytes(20, 0), status22, info,
                Hex({0x1B, 0x7C, 0x31, 0x30, 0x24, 0x00, 0x00, 0x00, 1, 2, 3, 4}), Bytes(4, 0)});
    ASSERT_EQ(packet.size(), 2558u);
    packet.resize(6144, 0);  // 2048 - 510 + 2048 bytes of padding
    const Bytes expected = Concat({Hex({0x40, 0x40, 0x00, 0x00, 0x00, 0x00, 0x18, 0x00}), packet});
    EXPECT_EQ(reply, expected);
}

TEST(Replies, IpModeWholeReplyByteForByte) {
    Simulator sim;
    sim.UpdateState([](auto& s) { s.ipMode = 0; });
    const Bytes reply = Exchange(sim.address(), 0xFFFFFFFE, {C22(), C(77)});
    Bytes packet = Concat(
        {Bytes(2432, 0), Hex({0x1B, 0x7C, 0x31, 0x30, 0x40, 0x0C, 0x43, 0, 0xFF, 0xFF, 0xFF, 0xFE}),
         Bytes(20, 0), Hex({0x23, 0x23, 0, 22, 0, 0, 0, 16}), Bytes(16, 0),
         Hex({0x23, 0x23, 0, 66, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0}),
         Hex({0x1B, 0x7C, 0x31, 0x30, 0x24, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFE}), Bytes(4, 0)});
    packet.resize(6144, 0);
    EXPECT_EQ(reply, Concat({Hex({0x40, 0x40, 0, 0, 0, 0, 0x18, 0}), packet}));

    sim.UpdateState([](auto& s) { s.ipMode = 1; });
    const auto replies = Ask(sim.address(), {C22(), C(77)});
    EXPECT_EQ(replies[1].data, Hex({0, 0, 0, 0, 0, 0, 0, 1}));
}

// 28: status, 4 ignored, value1, value2, n, n data bytes, checksum of the
// data as big-endian words (the last one padded with zeros on the right).
struct DataBlock {
    std::int32_t status = 0;
    std::uint32_t value1 = 0;
    std::uint32_t value2 = 0;
    Bytes data;
    std::uint32_t checksum = 0;
};

DataBlock ReadBlock(const std::string& address, std::uint32_t id) {
    Bytes request;
    Be32(request, id);
    request.resize(8, 0);
    const auto replies = Ask(address, {C(28, request)});
    EXPECT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].code, 7);
    const Bytes& v = replies[0].data;
    DataBlock block;
    block.status = StatusOf(replies[0]);
    block.value1 = Be32At(v, 8);
    block.value2 = Be32At(v, 12);
    const std::uint32_t n = Be32At(v, 16);
    EXPECT_EQ(v.size(), 24u + n);
    block.data.assign(v.begin() + 20, v.begin() + 20 + n);
    block.checksum = Be32At(v, 20 + n);
    return block;
}

std::uint32_t Sum(const Bytes& data) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < data.size(); i += 4) {
        Bytes word(data.begin() + static_cast<long>(i),
                   data.begin() + static_cast<long>(std::min(i + 4, data.size())));
        word.resize(4, 0);
        sum += Be32At(word, 0);
    }
    return sum;
}

TEST(Replies, DataBlocksCarryTheStateAtTheirOffsetsWithChecksums) {
    Simulator sim;
    sim.UpdateState([](auto& s) {
        s.ipAddress = 0x0A000102;   // 10.0.1.2
        s.subnetMask = 0xFFFF0000;  // 255.255.0.0
        s.gateway = 0x0A0000FE;     // 10.0.0.254
        s.alignment[kpm::sim::Dpi600] = {-3, 5};
        s.heads[kpm::sim::ColorHead].vRating = 12;
        s.heads[kpm::sim::WhiteHead].vRating = 3;
    });

    const DataBlock network = ReadBlock(sim.address(), 0x8011);
    EXPECT_EQ(network.status, 0);
    EXPECT_EQ(network.value1, 0x8011u);
    ASSERT_GE(network.data.size(), 96u);
    EXPECT_EQ(Bytes(network.data.begin() + 84, network.data.begin() + 96),
              Hex({10, 0, 1, 2, 255, 255, 0, 0, 10, 0, 0, 254}));
    EXPECT_EQ(network.checksum, Sum(network.data));

    const DataBlock alignment = ReadBlock(sim.address(), 0x8013);
    ASSERT_GE(alignment.data.size(), 52u);
    EXPECT_EQ(alignment.data[42], 0xFF);  // X -3
    EXPECT_EQ(alignment.data[43], 0xFD);
    EXPECT_EQ(alignment.data[50], 0x00);  // Y 5
    EXPECT_EQ(alignment.data[51], 0x05);
    EXPECT_EQ(alignment.checksum, Sum(alignment.data));

    const DataBlock heads = ReadBlock(sim.address(), 0x8016);
    ASSERT_GE(heads.data.size(), 434u);
    EXPECT_EQ(heads.data[432], 12);
    EXPECT_EQ(heads.data[433], 3);
    EXPECT_EQ(heads.checksum, Sum(heads.data));
    // The head block is 448 bytes: a multiple of four, so the padding rule of
    // the checksum is exercised by a block of odd length below instead.

    const DataBlock unknown = ReadBlock(sim.address(), 0x8012);
    EXPECT_EQ(unknown.status, 6);
    EXPECT_TRUE(unknown.data.empty());
}

TEST(Replies, EveryCommandIsAnsweredWithItsReplyCodeAndTheRequestId) {
    Simulator sim;
    const std::vector<std::pair<std::uint16_t, std::uint16_t>> table{
        {46, 34},  {63, 35},  {65, 45},  {72, 52},  {74, 63},  {75, 64},  {76, 65}, {77, 66},
        {108, 60}, {109, 61}, {114, 62}, {128, 80}, {130, 82}, {131, 83}, {136, 88}};
    for (const auto& [request, reply] : table) {
        const auto replies = Ask(sim.address(), {C22(), C(request, Bytes(12, 0))}, request);
        ASSERT_EQ(replies.size(), 2u) << request;
        EXPECT_EQ(replies[0].code, 22) << request;
        EXPECT_EQ(replies[1].code, reply) << request;
        EXPECT_GE(replies[1].data.size(), 8u) << request;
    }
}

Bytes FiringValue(int resolution, int head, int operation, std::initializer_list<int> values) {
    Bytes v{static_cast<unsigned char>(resolution), static_cast<unsigned char>(head),
            static_cast<unsigned char>(operation)};
    for (int x : values) {
        v.push_back(static_cast<unsigned char>(x));
    }
    v.push_back(0);
    return v;
}

TEST(Replies, FiringWritesAndResetsPerResolutionAndHead) {
    Simulator sim;
    auto send = [&](const Bytes& value) {
        const auto replies = Ask(sim.address(), {C22(), C(46, value)});
        EXPECT_EQ(replies[1].code, 34);
        EXPECT_EQ(replies[1].data.size(), 16u);
        return StatusOf(replies[1]);
    };
    EXPECT_EQ(send(FiringValue(1, 0, 0, {2, -4, 6, 0})), 0);
    EXPECT_EQ(send(FiringValue(0, 1, 0, {1, 1, 1, 1})), 0);
    auto s = sim.state();
    EXPECT_EQ(s.firing[1][0], (std::array<std::int8_t, 4>{2, -4, 6, 0}));
    EXPECT_EQ(s.firing[0][1], (std::array<std::int8_t, 4>{1, 1, 1, 1}));

    EXPECT_EQ(send(FiringValue(1, 0, 1, {0, 0, 0, 0})), 0);  // reset 1200 dpi colour
    s = sim.state();
    EXPECT_EQ(s.firing[1][0], (std::array<std::int8_t, 4>{}));
    EXPECT_EQ(s.firing[0][1], (std::array<std::int8_t, 4>{1, 1, 1, 1}));

    EXPECT_EQ(send(FiringValue(2, 0, 0, {1, 1, 1, 1})), 7);  // no such resolution
    EXPECT_EQ(send(FiringValue(1, 2, 0, {1, 1, 1, 1})), 7);  // no such head
}

TEST(Replies, AlignmentOffsetsAccumulateWithinTheCarriageRange) {
    Simulator sim;
    auto send = [&](int resolution, int operation, int x, int y) {
        const Bytes value{static_cast<unsigned char>(resolution),
                          static_cast<unsigned char>(operation),
                          static_cast<unsigned char>(x),
                          static_cast<unsigned char>(y),
                          0,
                          0,
                          0,
                          0};
        return StatusOf(Ask(sim.address(), {C22(), C(63, value)})[1]);
    };
    EXPECT_EQ(send(0, 0, 60, -2), 0);
    EXPECT_EQ(send(0, 0, 3, -2), 0);
    EXPECT_EQ(sim.state().alignment[kpm::sim::Dpi600], (kpm::sim::Alignment{63, -4}));
    EXPECT_EQ(send(0, 0, 1, 0), 7);  // X would be 64
    EXPECT_EQ(sim.state().alignment[kpm::sim::Dpi600].x, 63);
    EXPECT_EQ(send(1, 0, 120, 0), 0);  // 1200 dpi has twice the steps
    EXPECT_EQ(send(0, 1, 0, 0), 0);    // reset 600 dpi only
    EXPECT_EQ(sim.state().alignment[kpm::sim::Dpi600], (kpm::sim::Alignment{0, 0}));
    EXPECT_EQ(sim.state().alignment[kpm::sim::Dpi1200].x, 120);
}

TEST(Replies, IpSettingsRejectBadMasksAndGatewaysOutsideTheSubnet) {
    Simulator sim;
    auto send = [&](std::initializer_list<int> twelve) {
        const auto replies = Ask(sim.address(), {C22(), C(65, Hex(twelve))});
        EXPECT_EQ(replies[1].code, 45);
        return StatusOf(replies[1]);
    };
    EXPECT_EQ(send({192, 168, 5, 7, 255, 255, 255, 0, 192, 168, 5, 1}), 0);
    EXPECT_EQ(sim.state().ipAddress, 0xC0A80507u);
    EXPECT_EQ(send({192, 168, 5, 7, 255, 0, 255, 0, 192, 168, 5, 1}), 12);    // holes
    EXPECT_EQ(send({192, 168, 5, 0, 255, 255, 255, 0, 192, 168, 5, 1}), 12);  // network
    EXPECT_EQ(send({127, 0, 0, 5, 255, 0, 0, 0, 127, 0, 0, 1}), 12);          // loopback
    EXPECT_EQ(send({192, 168, 5, 7, 255, 255, 255, 0, 192, 168, 6, 1}), 13);
    EXPECT_EQ(send({192, 168, 5, 7, 255, 255, 255, 0, 192, 168, 5, 255}), 13);
    EXPECT_EQ(send({10, 1, 2, 3, 255, 0, 0, 0, 0, 0, 0, 0}), 0);  // no gateway
    EXPECT_EQ(sim.state().gateway, 0u);
    // Rejected settings leave the stored ones alone.
    EXPECT_EQ(sim.state().ipAddress, 0x0A010203u);
}

TEST(Replies, ClockBefore2018IsRefused) {
    Simulator sim;
    auto send = [&](std::uint32_t seconds) {
        Bytes value;
        Be32(value, seconds);
        value.resize(8, 0);
        const auto replies = Ask(sim.address(), {C22(), C(128, value)});
        EXPECT_EQ(replies[1].code, 80);
        return StatusOf(replies[1]);
    };
    EXPECT_EQ(send(568079999), 19);  // 2017-12-31 23:59:59
    EXPECT_FALSE(sim.state().clockSeconds.has_value());
    EXPECT_EQ(send(0xFFFFFF00), 19);  // before 2000, two's complement
    EXPECT_EQ(send(568080000), 0);
    EXPECT_EQ(sim.state().clockSeconds, 568080000u);
}

TEST(Replies, CirculationScheduleRoundTripsAndTheEmptyMarker) {
    Simulator sim;
    auto set = [&](const Bytes& value) {
        return StatusOf(Ask(sim.address(), {C22(), C(130, value)})[1]);
    };
    auto get = [&] { return Ask(sim.address(), {C22(), C(131)})[1]; };

    EXPECT_EQ(get().data, Hex({0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0xFF, 0xFF}));
    EXPECT_EQ(set(Hex({2, 0, 0, 0, 2, 0, 6, 30, 1, 0, 13, 0})), 0);
    const auto reply = get();
    EXPECT_EQ(reply.code, 83);
    EXPECT_EQ(reply.data, Hex({0, 0, 0, 0, 2, 0, 0, 0, 2, 0, 6, 30, 1, 0, 13, 0}));

    EXPECT_EQ(set(Hex({1, 0, 0, 0, 3, 0, 6, 30})), 7);  // kind 3
    EXPECT_EQ(set(Hex({1, 0, 0, 0, 1, 0, 24, 0})), 7);  // hour 24
    EXPECT_EQ(set(Hex({2, 0, 0, 0, 1, 0, 6, 30})), 7);  // count promises two
    EXPECT_EQ(sim.state().schedule.size(), 2u);
    EXPECT_EQ(set(Hex({1, 0, 0, 0, 1, 0, 0xFF, 0xFF})), 0);
    EXPECT_TRUE(sim.state().schedule.empty());
}

TEST(Replies, HostNameHeadSerialVRatingAndIpMode) {
    Simulator sim;
    auto status = [&](std::uint16_t code, const Bytes& value) {
        return StatusOf(Ask(sim.address(), {C22(), C(code, value)})[1]);
    };
    EXPECT_EQ(status(74, Text("kpm-2.shop", 32)), 0);
    const auto name = Ask(sim.address(), {C22(), C(75)})[1];
    EXPECT_EQ(name.code, 64);
    EXPECT_EQ(name.data, Concat({Bytes(4, 0), Text("kpm-2.shop", 32)}));
    EXPECT_EQ(status(74, Text("my_printer", 32)), 7);
    EXPECT_EQ(status(74, Text("", 32)), 7);
    EXPECT_EQ(status(74, Bytes(32, 'a')), 0);  // exactly 32 bytes, no terminator
    EXPECT_EQ(sim.state().hostName, std::string(32, 'a'));

    EXPECT_EQ(status(136, Concat({Hex({0, 0, 0, 1}), Text("AB", 8)})), 0);
    EXPECT_EQ(sim.state().heads[kpm::sim::WhiteHead].serial, "AB");
    EXPECT_EQ(status(136, Concat({Hex({0, 0, 0, 2}), Text("AB", 8)})), 7);

    EXPECT_EQ(status(72, Hex({0, 0, 0, 0, 0, 0, 0, 17})), 0);
    EXPECT_EQ(sim.state().heads[kpm::sim::ColorHead].vRating, 17);
    EXPECT_EQ(status(72, Hex({0, 0, 0, 0, 0, 0, 0, 18})), 7);

    EXPECT_EQ(status(76, Hex({0, 0, 0, 0, 0, 0, 0, 0})), 0);
    EXPECT_EQ(sim.state().ipMode, 0);
    EXPECT_EQ(status(76, Hex({0, 0, 0, 2, 0, 0, 0, 0})), 7);
}

TEST(Replies, PlatenRollingAndFeedAdjustmentWithReset) {
    Simulator sim;
    auto status = [&](std::uint16_t code, const Bytes& value) {
        return StatusOf(Ask(sim.address(), {C22(), C(code, value)})[1]);
    };
    EXPECT_EQ(status(109, Hex({0, 3, 0xFE, 0, 0, 0, 0, 0})), 0);
    EXPECT_EQ(status(114, Hex({1, 2, 0xFD, 4, 0, 0, 0, 0})), 0);
    auto s = sim.state();
    EXPECT_EQ(s.platenRolling, (std::array<std::int8_t, 2>{3, -2}));
    EXPECT_EQ(s.feed, (std::array<std::int8_t, 4>{1, 2, -3, 4}));
    EXPECT_EQ(status(109, Hex({1, 0, 0, 0, 0, 0, 0, 0})), 0);
    EXPECT_EQ(sim.state().platenRolling, (std::array<std::int8_t, 2>{0, 0}));
}

TEST(Replies, OldFirmwareRefusesTheNewerCommandsOnly) {
    Simulator sim;
    sim.UpdateState([](auto& s) { s.firmwareTooOld = true; });
    Bytes clock;
    Be32(clock, 700000000);
    clock.resize(8, 0);
    EXPECT_EQ(StatusOf(Ask(sim.address(), {C22(), C(128, clock)})[1]), -210);
    EXPECT_EQ(StatusOf(Ask(sim.address(), {C22(), C(131)})[1]), -210);
    EXPECT_EQ(StatusOf(Ask(sim.address(), {C22(), C(108)})[1]), 0);
    EXPECT_FALSE(sim.state().clockSeconds.has_value());
}

TEST(Replies, UnknownCommandsAreAnsweredWithStatus6) {
    Simulator sim;
    const auto replies = Ask(sim.address(), {C22(), C(200)});
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies[1].code, 200);
    EXPECT_EQ(StatusOf(replies[1]), 6);
}

TEST(Replies, RequestLogRecordsCommandsValuesAndStatuses) {
    Simulator sim;
    Ask(sim.address(), {C22(), C(76, Hex({0, 0, 0, 2, 0, 0, 0, 0}))}, 0xABCDEF01);
    const auto records = sim.requests();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].id, 0xABCDEF01u);
    const std::string log = sim.RequestLog();
    EXPECT_NE(log.find("id abcdef01"), std::string::npos) << log;
    EXPECT_NE(log.find("76(00 00 00 02 00 00 00 00)"), std::string::npos) << log;
    EXPECT_NE(log.find("-> 22:0 65:7"), std::string::npos) << log;
}

}  // namespace
