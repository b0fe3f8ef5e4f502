// Reads and writes of the USB port with their deadlines, on a raw
// pseudo-terminal whose other side the test plays.
#include "bidi/communications/linux/usb_port.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <numeric>

#include "bidi/capi/error.h"
#include "bidi/communications/linux/unique_fd.h"
#include "bidi/communications/stream.h"

namespace {

using KpBidi::communications::TimeoutException;
using KpBidi::communications::linux::UniqueFd;
using KpBidi::communications::linux::UsbPort;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The printer's side of a node.
class FarSide {
public:
    FarSide() : master_(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC)) {
        char name[128];
        if (!master_ || ::grantpt(master_.get()) != 0 || ::unlockpt(master_.get()) != 0 ||
            ::ptsname_r(master_.get(), name, sizeof name) != 0) {
            ADD_FAILURE() << "no pseudo-terminal";
            return;
        }
        path_ = name;
        const UniqueFd node(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
        termios settings{};
        ::tcgetattr(node.get(), &settings);
        ::cfmakeraw(&settings);
        ::tcsetattr(node.get(), TCSANOW, &settings);
    }
    const std::string& path() const { return path_; }
    void Send(const std::vector<unsigned char>& bytes) {
        ASSERT_EQ(::write(master_.get(), bytes.data(), bytes.size()),
                  static_cast<ssize_t>(bytes.size()));
    }
    std::vector<unsigned char> Take(std::size_t size) {
        std::vector<unsigned char> got(size);
        std::size_t have = 0;
        while (have < size) {
            pollfd p{master_.get(), POLLIN, 0};
            if (::poll(&p, 1, 3000) <= 0) {
                break;
            }
            const ssize_t n = ::read(master_.get(), got.data() + have, size - have);
            if (n <= 0) {
                break;
            }
            have += static_cast<std::size_t>(n);
        }
        got.resize(have);
        return got;
    }
    void Close() { master_.reset(); }

private:
    UniqueFd master_;
    std::string path_;
};

TEST(UsbPort, WritesTheWholeBlockAndReadsWhatHasArrived) {
    FarSide printer;
    UsbPort port(printer.path());
    std::vector<unsigned char> request(10000);
    std::iota(request.begin(), request.end(), 0);
    EXPECT_TRUE(port.Write(request.data(), request.size(), 5s));
    EXPECT_EQ(printer.Take(request.size()), request);

    printer.Send({1, 2, 3});
    std::vector<unsigned char> buffer(512, 0xEE);
    bool ok = false;
    EXPECT_EQ(port.Read(buffer, ok, 1s), 3);
    EXPECT_TRUE(ok);
    EXPECT_EQ(std::vector<unsigned char>(buffer.begin(), buffer.begin() + 4),
              (std::vector<unsigned char>{1, 2, 3, 0xEE}));
    EXPECT_EQ(buffer.size(), 512u);

    // Never more than the buffer holds; the rest waits for the next read.
    printer.Send(std::vector<unsigned char>(700, 9));
    ::usleep(50000);
    ok = false;
    EXPECT_EQ(port.Read(buffer, ok, 1s), 512);
    EXPECT_EQ(port.Read(buffer, ok, 1s), 188);
}

TEST(UsbPort, ASilentPrinterTimesTheReadOut) {
    FarSide printer;
    UsbPort port(printer.path());
    std::vector<unsigned char> buffer(512);
    bool ok = false;
    const auto start = Clock::now();
    try {
        port.Read(buffer, ok, 300ms);
        ADD_FAILURE() << "read without data";
    } catch (const KpBidi::Error& e) {
        EXPECT_EQ(e.code, KpBidi::Timeout);
        EXPECT_STREQ(e.message, "UsbPort::Read: timed out while reading from USB port");
    }
    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, 300ms);
    EXPECT_LT(waited, 2s);
    EXPECT_FALSE(ok);
    EXPECT_EQ(UsbPort::kReadTimeout, 3000ms);
}

TEST(UsbPort, APrinterThatTakesNothingTimesTheWriteOut) {
    FarSide printer;  // never reads
    UsbPort port(printer.path());
    const std::vector<unsigned char> request(1 << 20, 0x55);
    const auto start = Clock::now();
    try {
        port.Write(request.data(), request.size(), 300ms);
        ADD_FAILURE() << "a megabyte went into a printer that reads nothing";
    } catch (const TimeoutException& e) {
        EXPECT_STREQ(e.what(), "Timeout: job was not completed");
    }
    EXPECT_LT(Clock::now() - start, 2s);
    EXPECT_EQ(UsbPort::kWriteTimeout, 120s);
}

TEST(UsbPort, APrinterThatWentAwayFailsReadsAndWrites) {
    FarSide printer;
    UsbPort port(printer.path());
    printer.Close();
    std::vector<unsigned char> buffer(512);
    bool ok = false;
    try {
        const auto n = port.Read(buffer, ok, 1s);
        // A hang-up may also read as the end of the data.
        EXPECT_EQ(n, 0);
        EXPECT_TRUE(ok);
    } catch (const KpBidi::Error& e) {
        EXPECT_EQ(e.code, KpBidi::SystemError);
        EXPECT_STREQ(e.message, "UsbPort::Read");
    }
    const unsigned char byte = 1;
    EXPECT_FALSE(port.Write(&byte, 1, 1s));
}

TEST(UsbPort, ANodeThatCannotBeOpenedIsAPlatformError) {
    try {
        UsbPort port("/dev/usb/kpm-no-such-node");
        ADD_FAILURE() << "opened a missing node";
    } catch (const KpBidi::Error& e) {
        EXPECT_EQ(e.code, KpBidi::PlatformError);
    }
}

}  // namespace
