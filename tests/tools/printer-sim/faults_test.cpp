// Fault injection: the fault grammar, and what each fault does on the wire.
#include "tools/printer-sim/faults.h"

#include <gtest/gtest.h>

#include <chrono>

#include "tests/tools/printer-sim/wire_client.h"
#include "tools/printer-sim/simulator.h"

namespace {

using namespace kpm::wire_test;
using kpm::sim::Fault;
using kpm::sim::FaultKind;
using kpm::sim::ParseFault;
using kpm::sim::Simulator;
using namespace std::chrono_literals;

TEST(ParseFault, ReadsNameValueIntervalCodeAndTimes) {
    const Fault status = ParseFault("status:-210@128x2");
    EXPECT_EQ(status.kind, FaultKind::Status);
    EXPECT_EQ(status.value, -210);
    EXPECT_EQ(status.code, 128);
    EXPECT_EQ(status.times, 2);
    EXPECT_EQ(kpm::sim::FormatFault(status), "status:-210@128x2");

    const Fault drip = ParseFault("drip:16/5ms");
    EXPECT_EQ(drip.value, 16);
    EXPECT_EQ(drip.intervalMs, 5u);
    EXPECT_EQ(ParseFault("drip").value, 64);
    EXPECT_EQ(ParseFault("drip").intervalMs, 10u);
    EXPECT_EQ(ParseFault("drip:8").intervalMs, 10u);

    const Fault split = ParseFault("split");
    EXPECT_EQ(split.kind, FaultKind::Split);
    EXPECT_FALSE(split.value.has_value());
    EXPECT_EQ(split.code, 0);
    EXPECT_EQ(split.times, 0);
    EXPECT_EQ(ParseFault("log-gap:3").value, 3);
}

TEST(ParseFault, RejectsWhatItCannotMean) {
    for (const char* bad : {"", "nonsense", "status", "status:", "status:x", "split:3", "drip:0",
                            "drip:4/", "drip:4/70000", "close@0", "close@70000", "close@46x0",
                            "log-gap:-1", "status:99999999999"}) {
        EXPECT_THROW(ParseFault(bad), std::invalid_argument) << bad;
    }
}

TEST(Faults, StatusForOneOperationLeavesStateAndOthersAlone) {
    Simulator sim;
    sim.AddFault("status:14@46");
    const Bytes firing{1, 0, 0, 5, 5, 5, 5, 0};
    auto replies = Ask(sim.address(), {C22(), C(46, firing)});
    EXPECT_EQ(StatusOf(replies[0]), 0);   // 22 untouched
    EXPECT_EQ(StatusOf(replies[1]), 14);  // the firing answer
    EXPECT_EQ(sim.state().firing[1][0], (std::array<std::int8_t, 4>{}));
    EXPECT_EQ(StatusOf(Ask(sim.address(), {C22(), C(108)})[1]), 0);

    sim.ClearFaults();
    sim.AddFault("status:7");  // every operation
    EXPECT_EQ(StatusOf(Ask(sim.address(), {C22(), C(108)})[1]), 7);
    EXPECT_EQ(StatusOf(Ask(sim.address(), {C22(), C(108)})[0]), 0);
}

TEST(Faults, LimitedFaultsAreUsedUpByMatchingRequestsOnly) {
    Simulator sim;
    sim.AddFault("status:13@65x1");
    const Bytes ip{10, 0, 0, 5, 255, 0, 0, 0, 10, 0, 0, 1};
    EXPECT_EQ(StatusOf(Ask(sim.address(), {C22(), C(108)})[1]), 0);  // not counted
    EXPECT_EQ(StatusOf(Ask(sim.address(), {C22(), C(65, ip)})[1]), 13);
    EXPECT_EQ(StatusOf(Ask(sim.address(), {C22(), C(65, ip)})[1]), 0);
    EXPECT_TRUE(sim.faults().empty());
}

TEST(Faults, SplitAndTwoInOneSpreadTheRepliesOverTwoPackets) {
    Simulator sim;
    sim.AddFault("splitx1");
    auto envelopes = DecodeEnvelopes(Exchange(sim.address(), 5, {C22(), C(77)}));
    ASSERT_EQ(envelopes.size(), 2u);
    ASSERT_EQ(envelopes[0].size(), 1u);
    ASSERT_EQ(envelopes[1].size(), 1u);
    EXPECT_EQ(envelopes[0][0].commands.at(0).code, 22);
    EXPECT_EQ(envelopes[1][0].commands.at(0).code, 66);
    EXPECT_EQ(envelopes[0][0].id, 5u);
    EXPECT_EQ(envelopes[1][0].id, 5u);

    sim.AddFault("two-in-onex1");
    envelopes = DecodeEnvelopes(Exchange(sim.address(), 6, {C22(), C(77)}));
    ASSERT_EQ(envelopes.size(), 1u);
    ASSERT_EQ(envelopes[0].size(), 2u);
    EXPECT_EQ(envelopes[0][0].commands.size(), 1u);
    EXPECT_EQ(envelopes[0][1].commands.at(0).code, 66);
}

TEST(Faults, StaleIdPacketComesFirstWithFailureStatuses) {
    Simulator sim;
    sim.AddFault("stale-id");
    const auto envelopes = DecodeEnvelopes(Exchange(sim.address(), 1000, {C22(), C(108)}));
    ASSERT_EQ(envelopes.size(), 2u);
    const ReplyPacket& stale = envelopes[0].at(0);
    EXPECT_EQ(stale.id, 999u);
    EXPECT_EQ(stale.footerId, 999u);
    ASSERT_EQ(stale.commands.size(), 2u);
    EXPECT_EQ(StatusOf(stale.commands[1]), 6);
    const ReplyPacket& real = envelopes[1].at(0);
    EXPECT_EQ(real.id, 1000u);
    EXPECT_EQ(StatusOf(real.commands.at(1)), 0);

    // Id 0 has the largest id before it (ids count modulo 0xFFFFFFFF).
    const auto wrapped = DecodeEnvelopes(Exchange(sim.address(), 0, {C22(), C(108)}));
    EXPECT_EQ(wrapped.at(0).at(0).id, 0xFFFFFFFEu);
}

TEST(Faults, OnlyTheAnswerTo22) {
    Simulator sim;
    sim.AddFault("only-22");
    const auto replies = Ask(sim.address(), {C22(), C(108)});
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].code, 22);
}

TEST(Faults, TruncatedPacketEndsInsideItsLastCommand) {
    Simulator sim;
    sim.AddFault("truncated");
    const Bytes reply = Exchange(sim.address(), 9, {C22(), C(77)});
    ASSERT_GE(reply.size(), 8u);
    EXPECT_EQ(Be32At(reply, 4), reply.size() - 8);  // the envelope holds what came
    // 2432 + 32 + (8 + 16) + (8 + 8) bytes to the footer, cut 2 before it.
    EXPECT_EQ(reply.size() - 8, 2432u + 32 + 24 + 16 - 2);
    EXPECT_THROW(DecodeEnvelopes(reply), std::runtime_error);
}

TEST(Faults, BadFooterMarker) {
    Simulator sim;
    sim.AddFault("bad-footer");
    const Bytes reply = Exchange(sim.address(), 9, {C22(), C(77)});
    const std::size_t footer = 8 + 2432 + 32 + 24 + 16;
    EXPECT_EQ(Bytes(reply.begin() + footer, reply.begin() + footer + 5),
              (Bytes{0x1B, 0x7C, 0x31, 0x30, 0x23}));
    EXPECT_EQ(reply.size(), 8u + 6144);  // otherwise whole
}

TEST(Faults, BadChecksumIsOffByOne) {
    Simulator sim;
    auto checksum = [&] {
        const Cmd reply = Ask(sim.address(), {C(28, Bytes{0, 0, 0x80, 0x16, 0, 0, 0, 0})})[0];
        return Be32At(reply.data, reply.data.size() - 4);
    };
    const std::uint32_t good = checksum();
    sim.AddFault("bad-checksum");
    EXPECT_EQ(checksum(), good + 1);
}

TEST(Faults, CloseAndSilence) {
    Simulator sim;
    sim.AddFault("close@108");
    bool closed = false;
    {
        Connection c(sim.address(), 48000);
        c.Send(Envelope(RequestPacket(1, {C22(), C(108)})));
        EXPECT_TRUE(c.ReadAll(5s, &closed).empty());
        EXPECT_TRUE(closed);
    }
    sim.ClearFaults();
    sim.AddFault("silence");
    Connection c(sim.address(), 48000);
    c.Send(Envelope(RequestPacket(2, {C22(), C(108)})));
    EXPECT_TRUE(c.ReadAll(300ms, &closed).empty());
    EXPECT_FALSE(closed);  // still open, still silent
    // A silent connection holds nobody else up.
    sim.ClearFaults();
    EXPECT_EQ(Ask(sim.address(), {C22(), C(77)}).size(), 2u);
    const auto records = sim.requests();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_TRUE(records[1].answers.empty());
}

TEST(Faults, DripSendsTheSameBytesSlowly) {
    Simulator sim;
    const Bytes normal = Exchange(sim.address(), 3, {C22(), C(77)});
    sim.AddFault("drip:1024/20");
    const auto start = std::chrono::steady_clock::now();
    const Bytes dripped = Exchange(sim.address(), 3, {C22(), C(77)});
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(dripped, normal);
    // 6152 bytes in 7 drips, 20 ms apart.
    EXPECT_GE(took, 110ms);
}

}  // namespace
