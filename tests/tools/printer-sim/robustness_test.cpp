// Garbage never crashes or hangs the simulator, each connection is on its
// own, it is ready when constructed and stops promptly.
#include <gtest/gtest.h>

#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include "tests/tools/printer-sim/wire_client.h"
#include "tools/printer-sim/session.h"
#include "tools/printer-sim/simulator.h"

namespace {

using namespace kpm::wire_test;
using kpm::sim::Options;
using kpm::sim::Simulator;
using namespace std::chrono_literals;

Options ShortIdle() {
    Options o;
    o.limits.idle = 300ms;
    return o;
}

// The simulator still answers a proper request, correctly.
void ExpectHealthy(const Simulator& sim) {
    const auto replies = Ask(sim.address(), {C22(), C(108)}, 0xC0FFEE);
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies[1].code, 60);
    EXPECT_EQ(StatusOf(replies[1]), 0);
}

Bytes RandomBytes(std::mt19937& engine, std::size_t n) {
    Bytes b(n);
    for (auto& x : b) {
        x = static_cast<unsigned char>(engine());
    }
    return b;
}

TEST(Robustness, ReadyToAnswerAsSoonAsConstructed) {
    for (int i = 0; i < 5; ++i) {
        const auto start = std::chrono::steady_clock::now();
        Simulator sim;
        const Bytes reply = Exchange(sim.address(), 1, {C22(), C(77)});
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(reply.size(), 8u + 6144);
        EXPECT_LT(took, 100ms);
    }
}

TEST(Robustness, HalfEnvelopesAndPayloadsWithoutPacketsAreRecordedAndDropped) {
    Simulator sim(ShortIdle());
    const std::vector<Bytes> inputs{
        {0x40, 0x40, 0x00},                                   // half a header
        {0x40, 0x40, 0, 0, 0, 0, 0x10, 0, 1, 2, 3},           // payload cut short
        Envelope(Bytes(5000, 0)),                             // zeros only
        Envelope(Bytes{0x1B, 0x7C, 0x31, 0x30, 0x40, 1, 2}),  // header cut
        Envelope(Bytes{
            0x1B, 0x7C, 0x31, 0x30, 0x40, 0x0C, 0x43, 0,    0,    0,    0, 1, 0, 0, 0,
            0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0, 0, 0, 0, 0,
            0,    0,    0x23, 0x23, 0,    22,   0x7F, 0xFF, 0xFF, 0xFF, 1, 2}),  // command longer
                                                                                 // than all
    };
    for (const Bytes& input : inputs) {
        Connection c(sim.address(), 48000);
        c.Send(input);
        c.ShutdownWrite();
        bool closed = false;
        EXPECT_TRUE(c.ReadAll(3s, &closed).empty());
        EXPECT_TRUE(closed);
    }
    const auto records = sim.requests();
    ASSERT_EQ(records.size(), inputs.size());
    for (const auto& r : records) {
        EXPECT_EQ(r.kind, kpm::sim::RequestRecord::Kind::Malformed) << r.note;
    }
    ExpectHealthy(sim);
}

TEST(Robustness, AFourGibibyteLengthIsRefusedAtOnce) {
    Simulator sim;
    Connection c(sim.address(), 48000);
    c.Send(Bytes{0x40, 0x40, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    bool closed = false;
    const auto start = std::chrono::steady_clock::now();
    c.ReadAll(3s, &closed);
    EXPECT_TRUE(closed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_NE(sim.RequestLog().find("4294967295 bytes"), std::string::npos) << sim.RequestLog();
    ExpectHealthy(sim);
}

TEST(Robustness, EndlessGarbageIsCutOffAndIdlePeersTimeOut) {
    Simulator sim(ShortIdle());
    {
        // Bytes that never form an envelope: read up to a bound, then the
        // connection is closed, and further sending fails long before the
        // 64 MiB a reader without a bound would take (socket buffers hold a
        // few MiB at most).
        Connection c(sim.address(), 48000);
        const Bytes noise(64 * 1024, 0x41);
        std::size_t sent = 0;
        while (sent < (64u << 20) && ::send(c.fd(), noise.data(), noise.size(), MSG_NOSIGNAL) > 0) {
            sent += noise.size();
        }
        EXPECT_LT(sent, 64u << 20);
        EXPECT_NE(sim.RequestLog().find("without a request; connection closed"), std::string::npos)
            << sim.RequestLog();
    }
    {
        // An idle peer in the middle of an envelope.
        Connection c(sim.address(), 48000);
        c.Send({0x40, 0x40, 0, 0, 0, 0, 0x20, 0});
        const auto start = std::chrono::steady_clock::now();
        bool closed = false;
        c.ReadAll(3s, &closed);
        EXPECT_TRUE(closed);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    }
    ExpectHealthy(sim);
}

TEST(Robustness, RandomAndMutatedInputNeverBreaksIt) {
    Simulator sim(ShortIdle());
    std::mt19937 engine(20240501);
    const Bytes good = Envelope(RequestPacket(42, {C22(), C(65, Bytes(12, 0xAB))}));
    for (int round = 0; round < 150; ++round) {
        Bytes input;
        switch (round % 3) {
            case 0:
                input = RandomBytes(engine, engine() % 20000);
                break;
            case 1:
                input = good;
                for (int flips = 0; flips < 1 + round % 7; ++flips) {
                    input[engine() % input.size()] = static_cast<unsigned char>(engine());
                }
                break;
            case 2:
                input = good;
                input.resize(engine() % input.size());
                break;
        }
        Connection c(sim.address(), 48000);
        ::send(c.fd(), input.data(), input.size(), MSG_NOSIGNAL);
        c.ShutdownWrite();
        bool closed = false;
        c.ReadAll(3s, &closed);
        ASSERT_TRUE(closed) << "round " << round;
    }
    ExpectHealthy(sim);
}

TEST(Robustness, ConnectionsAreIndependent) {
    Simulator sim;
    // Peers that hang mid-request, one in silence, and a big log in flight...
    std::vector<std::unique_ptr<Connection>> stuck;
    for (int i = 0; i < 20; ++i) {
        stuck.push_back(std::make_unique<Connection>(sim.address(), 48000));
        stuck.back()->Send({0x40, 0x40, 0, 0, 0, 0, 0x40, 0});
    }
    sim.UpdateState([](auto& s) { s.log.size = 32 << 20; });
    Connection log(sim.address(), 48000);
    log.Send(Envelope(RequestPacket(7, {C(35)})));  // not read yet: the reply backs up

    // ... while many clients ask at once and all get their own answers.
    std::atomic<int> good{0};
    std::vector<std::thread> clients;
    for (int t = 0; t < 8; ++t) {
        clients.emplace_back([&, t] {
            for (int i = 0; i < 10; ++i) {
                const std::uint32_t id = static_cast<std::uint32_t>(t * 100 + i);
                const auto replies = Ask(sim.address(), {C22(), C(108)}, id);
                good += replies.size() == 2 && replies[1].code == 60 ? 1 : 0;
            }
        });
    }
    for (auto& t : clients) {
        t.join();
    }
    EXPECT_EQ(good, 80);
    const Bytes all = log.ReadAll(20s);
    EXPECT_GT(all.size(), 32u << 20);
}

TEST(Robustness, StopsPromptlyWithConnectionsOpen) {
    auto sim = std::make_unique<Simulator>();
    sim->AddFault("silence@77");
    Connection silent(sim->address(), 48000);
    silent.Send(Envelope(RequestPacket(1, {C22(), C(77)})));
    Connection idle(sim->address(), 48000);
    Connection jobs(sim->address(), 9100);
    jobs.Send(Bytes(100, 0));
    ASSERT_TRUE(sim->printer().WaitForRequests(1, 2s));

    const auto start = std::chrono::steady_clock::now();
    sim.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    bool closed = false;
    silent.ReadAll(1s, &closed);
    EXPECT_TRUE(closed);
}

TEST(Robustness, EnvelopeBytesTwoAndThreeAreNotExamined) {
    Simulator sim;
    Bytes request = Envelope(RequestPacket(8, {C22(), C(77)}));
    request[2] = 0x12;
    request[3] = 0x34;
    Connection c(sim.address(), 48000);
    c.Send(request);
    const auto envelopes = DecodeEnvelopes(c.ReadAll(5s));
    ASSERT_EQ(envelopes.size(), 1u);
    EXPECT_EQ(envelopes[0].at(0).commands.size(), 2u);
}

TEST(RawStream, BarePacketsBackToBackWithoutEnvelopes) {
    int fds[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    kpm::sim::Printer printer;
    kpm::sim::StopSignal stop;
    std::thread server([&] { kpm::sim::ServeRawStream(printer, fds[1], stop, {}); });

    // Two requests in one write, with noise between them.
    Bytes both = RequestPacket(1, {C22(), C(77)});
    const Bytes noise{0x1B, 0x7C, 0x31, 0x30, 0x40, 0x0C, 0x43, 0, 0, 0, 0, 9, 0x55};
    const Bytes second = RequestPacket(2, {C22(), C(108)});
    both.insert(both.end(), second.begin(), second.end());
    ASSERT_EQ(::send(fds[0], both.data(), both.size(), 0), static_cast<ssize_t>(both.size()));

    Bytes got;
    unsigned char buffer[65536];
    while (got.size() < 2 * 6144) {
        pollfd p{fds[0], POLLIN, 0};
        ASSERT_GT(::poll(&p, 1, 5000), 0);
        const ssize_t n = ::recv(fds[0], buffer, sizeof buffer, 0);
        ASSERT_GT(n, 0);
        got.insert(got.end(), buffer, buffer + n);
    }
    const ReplyPacket first = DecodeStrict(got, 0);
    EXPECT_EQ(first.id, 1u);
    EXPECT_EQ(first.commands.at(1).code, 66);
    const ReplyPacket next = DecodeStrict(got, first.size);
    EXPECT_EQ(next.id, 2u);
    EXPECT_EQ(next.commands.at(1).code, 60);

    ::send(fds[0], noise.data(), noise.size(), 0);
    ::shutdown(fds[0], SHUT_WR);  // the device goes away
    server.join();
    ::close(fds[0]);
    ::close(fds[1]);
    EXPECT_EQ(printer.requests().size(), 3u);  // two requests and the noise
}

}  // namespace
