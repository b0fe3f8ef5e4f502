// The simulator's USB node: opened by path like /dev/usb/lpN, bare packets
// both ways, every byte unchanged, one session per opener.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>

#include "tests/tools/printer-sim/wire_client.h"
#include "tools/printer-sim/simulator.h"

namespace {

using namespace kpm::wire_test;
using kpm::sim::Options;
using kpm::sim::Simulator;

// The node as a program opens it: no terminal settings of its own.
class Node {
public:
    explicit Node(const std::string& path)
        : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC)) {}
    ~Node() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int fd() const { return fd_; }

    void Send(const Bytes& bytes) {
        ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // Reads until `size` bytes have come, or nothing more comes for 3 s.
    Bytes Receive(std::size_t size) {
        Bytes got;
        unsigned char buffer[8192];
        while (got.size() < size) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 3000) <= 0) {
                break;
            }
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            got.insert(got.end(), buffer, buffer + n);
        }
        return got;
    }

private:
    int fd_;
};

Options WithUsb() {
    Options options;
    options.usb = true;
    return options;
}

TEST(UsbNode, CarriesEveryByteValueUnchangedBothWays) {
    Simulator sim(WithUsb());
    ASSERT_FALSE(sim.UsbNodePath().empty());
    Node node(sim.UsbNodePath());
    ASSERT_GE(node.fd(), 0);

    // The id travels out and back: carriage return, line feed, Ctrl+C,
    // XON/XOFF, DEL and 0xFF would each be eaten or changed by a terminal
    // that is not fully raw.
    const std::uint32_t ids[] = {0x0D0A0311, 0x13117FFF, 0x04001A1C};
    for (const std::uint32_t id : ids) {
        node.Send(RequestPacket(id, {C22(), C(75)}));
        const Bytes reply = node.Receive(6144);
        ASSERT_EQ(reply.size(), 6144u) << std::hex << id;
        const ReplyPacket packet = DecodeStrict(reply, 0);
        EXPECT_EQ(packet.id, id);
        EXPECT_EQ(packet.footerId, id);
        ASSERT_EQ(packet.commands.size(), 2u);
        EXPECT_EQ(packet.commands[1].code, 64);
    }
    EXPECT_EQ(sim.requests().size(), 3u);
}

TEST(UsbNode, EachOpenerStartsCleanAndNeedsNoTerminalSetup) {
    Simulator sim(WithUsb());
    {
        // Asks, and goes away without reading the answer.
        Node first(sim.UsbNodePath());
        first.Send(RequestPacket(1, {C22(), C(108)}));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (sim.requests().empty() && std::chrono::steady_clock::now() < deadline) {
            ::usleep(10000);
        }
        ASSERT_EQ(sim.requests().size(), 1u);
        ::usleep(100000);  // the reply is on its way
    }
    // The node learns that a program left from the hang-up, which an opener
    // in the same instant would cancel; programs take longer than that.
    ::usleep(50000);
    Node second(sim.UsbNodePath());
    termios settings{};
    ASSERT_EQ(::tcgetattr(second.fd(), &settings), 0);
    EXPECT_EQ(settings.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(settings.c_oflag & OPOST, 0u);
    EXPECT_EQ(settings.c_iflag & (ICRNL | IXON | ISTRIP), 0u);

    second.Send(RequestPacket(2, {C22(), C(77)}));
    const Bytes reply = second.Receive(6144);
    ASSERT_EQ(reply.size(), 6144u);
    // The first opener's unread reply is gone: the first packet is ours.
    EXPECT_EQ(DecodeStrict(reply, 0).id, 2u);
}

TEST(UsbNode, OnlyWhenAsked) {
    Simulator sim;
    EXPECT_TRUE(sim.UsbNodePath().empty());
    // The description is there all the same, for tests that build a testbed.
    const kpm::sim::UsbDevice device = sim.UsbDescription();
    EXPECT_EQ(device.serial, sim.state().serialNumber);
    EXPECT_EQ(device.ieee1284Id, sim.DeviceId());
    EXPECT_EQ(device.NodePath(), "/dev/usb/lp0");
}

}  // namespace
