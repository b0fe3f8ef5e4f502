// The kpbidi program against printers that lie about how much they send:
// small TCP peers on loopback, and the program's peak resident memory
// (VmHWM), which must stay bounded, not merely survive.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "tests/support/process.h"
#include "tests/support/tcp_peer.h"
#include "tests/support/wire_bytes.h"

namespace {

namespace fs = std::filesystem;
using kpm::test::Bytes;
using kpm::test::TcpPeer;

constexpr std::uint16_t kPort = 48000;
constexpr long kMiB = 1024;  // VmHWM counts KiB

// Reads the request's envelope and returns the request's id.
std::uint32_t ReadRequestId(int fd) {
    const Bytes envelope = kpm::test::ReadBytes(fd, 8);
    if (envelope.size() < 8) {
        return 0;
    }
    const std::uint32_t length = (std::uint32_t{envelope[4]} << 24) |
                                 (std::uint32_t{envelope[5]} << 16) |
                                 (std::uint32_t{envelope[6]} << 8) | envelope[7];
    const Bytes packet = kpm::test::ReadBytes(fd, length);
    // The header may follow padding: find its marker.
    const Bytes marker{0x1B, 0x7C, 0x31, 0x30, 0x40};
    const auto at = std::search(packet.begin(), packet.end(), marker.begin(), marker.end());
    if (packet.end() - at < 12) {
        ADD_FAILURE() << "no request header";
        return 0;
    }
    return (std::uint32_t{at[8]} << 24) | (std::uint32_t{at[9]} << 16) |
           (std::uint32_t{at[10]} << 8) | at[11];
}

// Sends `count` bytes of zeros, stopping when the client has gone.
void SendZeros(int fd, std::size_t count) {
    const Bytes zeros(1 << 20, 0);
    while (count > 0) {
        const std::size_t n = std::min(count, zeros.size());
        const ssize_t w = ::send(fd, zeros.data(), n, MSG_NOSIGNAL);
        if (w <= 0) {
            return;
        }
        count -= static_cast<std::size_t>(w);
    }
}

bool SendAll(int fd, const Bytes& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t w = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (w <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(w);
    }
    return true;
}

struct Outcome {
    int exitStatus = -1;
    long peakKiB = 0;
    double seconds = 0;
    std::string output;  // standard output and error, when small
    std::uintmax_t outputSize = 0;
};

class Hostile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("kpbidi-hostile-" + std::to_string(getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs kpbidi against the peer, its output into a file. Under the
    // sanitizers freed memory is held back for a while; keep that small so
    // that the peak shows what the program holds.
    Outcome Run(const TcpPeer& peer, std::vector<std::string> args) {
        args.insert(args.begin(), {KPBIDI_PROGRAM, "--host", peer.address()});
        const fs::path out = dir_ / "output";
        std::vector<std::string> environment;
        for (char** e = environ; *e != nullptr; ++e) {
            if (std::string(*e).rfind("ASAN_OPTIONS=", 0) != 0) {
                environment.emplace_back(*e);
            }
        }
        environment.emplace_back("ASAN_OPTIONS=quarantine_size_mb=1:detect_leaks=0");
        std::vector<char*> env = kpm::test::ArgvOf(environment);
        Outcome o;
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = kpm::test::StartProcess(args, env.data(), out.c_str());
        o.exitStatus = kpm::test::WaitProcessPeak(pid, o.peakKiB);
        o.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        o.outputSize = fs::file_size(out);
        if (o.outputSize < 4096) {
            std::ifstream in(out);
            std::stringstream text;
            text << in.rdbuf();
            o.output = text.str();
        }
        std::cout << "peak " << o.peakKiB / kMiB << " MiB, " << o.seconds << " s: " << args.back()
                  << '\n';
        RecordProperty("peak_kib", std::to_string(o.peakKiB));
        return o;
    }

    fs::path dir_;
};

// A printer that answers with empty packets (its id, no commands) without
// end. They count nothing and are not kept: memory stays flat however many
// arrive, until the printer gives up and the reply is found incomplete.
TEST_F(Hostile, EndlessEmptyPacketsKeepMemoryFlat) {
    constexpr std::size_t kWireBytes = std::size_t{96} << 20;
    TcpPeer peer(kPort, [](int fd) {
        const std::uint32_t id = ReadRequestId(fd);
        Bytes payload;
        while (payload.size() < (1 << 16)) {
            payload =
                kpm::test::Cat({payload, kpm::test::HeaderBytes(id), kpm::test::FooterBytes(id)});
        }
        const Bytes envelope = kpm::test::EnvelopeBytes(payload);
        for (std::size_t sent = 0; sent < kWireBytes && SendAll(fd, envelope);) {
            sent += envelope.size();
        }
        return false;
    });
    const Outcome o = Run(peer, {"info"});
    EXPECT_EQ(o.exitStatus, 1);
    EXPECT_EQ(o.output, "kpbidi: error 1006 (InvalidResponse)\n");
    EXPECT_LT(o.peakKiB, 64 * kMiB);
}

// One reply of 512 MiB to an operation that reads 46 bytes of it: refused
// on the announced length (1006), before it is read.
TEST_F(Hostile, AHugeReplyToAFixedSizeOperationIsRefusedUnread) {
    constexpr std::uint32_t kPayload = 512u << 20;
    TcpPeer peer(kPort, [](int fd) {
        const std::uint32_t id = ReadRequestId(fd);
        Bytes start{0x40, 0x40, 0x00, 0x00};
        kpm::test::PutBe32(start, kPayload);
        start = kpm::test::Cat({start, kpm::test::HeaderBytes(id), {0x23, 0x23, 0x00, 60}});
        kpm::test::PutBe32(start, kPayload - 32 - 8 - 16);
        if (SendAll(fd, start)) {
            SendZeros(fd, kPayload - 32 - 8 - 16);
        }
        return false;
    });
    const Outcome o = Run(peer, {"info"});
    EXPECT_EQ(o.exitStatus, 1);
    EXPECT_EQ(o.output, "kpbidi: error 1006 (InvalidResponse)\n");
    EXPECT_LT(o.peakKiB, 64 * kMiB);
    EXPECT_LT(o.seconds, 5.0);
}

// The ReadData reply value of a block of `size` bytes: status 0, value1
// 0x8011, value2 7, the data and its checksum.
Bytes DataBlockValue(std::uint32_t size) {
    Bytes value = kpm::test::StatusValue(0, Bytes(4, 0));
    kpm::test::PutBe32(value, 0x8011);
    kpm::test::PutBe32(value, 7);
    kpm::test::PutBe32(value, size);
    const std::size_t at = value.size();
    value.resize(at + size);
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < size; ++i) {
        value[at + i] = static_cast<unsigned char>(i * 31 + 7);
    }
    for (std::size_t i = 0; i < size; i += 4) {
        sum += (std::uint32_t{value[at + i]} << 24) | (std::uint32_t{value[at + i + 1]} << 16) |
               (std::uint32_t{value[at + i + 2]} << 8) | value[at + i + 3];
    }
    kpm::test::PutBe32(value, sum);
    return value;
}

// A 64 MiB data block: read and written out, readable and as JSON, holding
// the block about once (the growing buffer briefly twice), not once per copy.
TEST_F(Hostile, ABigDataBlockIsNotCopiedOverAndOver) {
    constexpr std::uint32_t kSize = 64u << 20;
    for (const bool json : {false, true}) {
        TcpPeer peer(kPort, [&](int fd) {
            const std::uint32_t id = ReadRequestId(fd);
            SendAll(fd, kpm::test::EnvelopeBytes(
                            kpm::test::ReplyPacketBytes(id, {{7, DataBlockValue(kSize)}})));
            return false;
        });
        std::vector<std::string> args{"read-data", "0x8011"};
        if (json) {
            args.insert(args.begin(), "--json");
        }
        const Outcome o = Run(peer, args);
        EXPECT_EQ(o.exitStatus, 0) << o.output;
        // The JSON: the hex and the three numbers. The dump: a header line,
        // then per 16 bytes the offset (at least 6 hex digits), a blank, 16
        // times a blank and two digits, and the line's end.
        std::uintmax_t expected = 0;
        if (json) {
            expected =
                2u * kSize +
                std::string("{'data':'','size':67108864,'value1':32785,'value2':7}\n").size();
        } else {
            expected =
                std::string("value1: 0x00008011  value2: 0x00000007  size: 67108864\n").size();
            for (std::size_t i = 0; i < kSize; i += 16) {
                expected += (i < 0x1000000 ? 6 : 7) + 1 + 48 + 1;
            }
        }
        EXPECT_EQ(o.outputSize, expected) << (json ? "json" : "dump");
        EXPECT_LT(o.peakKiB, 2 * 64 * kMiB + 16 * kMiB) << (json ? "json" : "dump");
    }
}

}  // namespace
