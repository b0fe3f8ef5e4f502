#include "tools/printer-sim/usb_node.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace kpm::sim {
namespace {

[[noreturn]] void Fail(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

UniqueFd OpenSide(const std::string& path) {
    return UniqueFd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
}

}  // namespace

UsbNode::UsbNode(Printer& printer, SessionLimits limits) : printer_(printer), limits_(limits) {
    master_ = UniqueFd(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!master_) {
        Fail("posix_openpt");
    }
    if (::grantpt(master_.get()) != 0 || ::unlockpt(master_.get()) != 0) {
        Fail("unlockpt");
    }
    char name[128];
    if (::ptsname_r(master_.get(), name, sizeof name) != 0) {
        Fail("ptsname");
    }
    path_ = name;
    // The far side's settings outlive its openers as long as this side is
    // open, so they are made raw once, here.
    const UniqueFd far = OpenSide(path_);
    termios settings{};
    if (!far || ::tcgetattr(far.get(), &settings) != 0) {
        Fail("tcgetattr");
    }
    ::cfmakeraw(&settings);
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    if (::tcsetattr(far.get(), TCSANOW, &settings) != 0) {
        Fail("tcsetattr");
    }
    // Replies are written with waits that give up on stop.
    if (::fcntl(master_.get(), F_SETFL, O_NONBLOCK) != 0) {
        Fail("fcntl");
    }
    thread_ = std::thread([this] { Serve(); });
}

UsbNode::~UsbNode() {
    stop_.Raise();
    thread_.join();
}

bool UsbNode::WaitForClient() {
    // While nobody has the far side open this side reports a hang-up, and
    // keeps reporting it: look again every few milliseconds.
    for (;;) {
        pollfd fds[2] = {{master_.get(), POLLIN, 0}, {stop_.fd(), POLLIN, 0}};
        if (::poll(fds, 2, 0) < 0 && errno != EINTR) {
            return false;
        }
        if (fds[1].revents != 0) {
            return false;
        }
        if ((fds[0].revents & POLLHUP) == 0) {
            return true;
        }
        pollfd stop{stop_.fd(), POLLIN, 0};
        if (::poll(&stop, 1, 10) > 0) {
            return false;
        }
    }
}

void UsbNode::DropUnreadReplies() {
    // Read off what the program left, from its side, until the line has
    // been quiet for a moment: part of a reply may still be on its way
    // through the terminal layer, where a flush would miss it. Nothing of
    // the next program can be among it, as nothing is written to it before
    // its request is read.
    const UniqueFd far = OpenSide(path_);
    if (!far) {
        return;
    }
    unsigned char scratch[4096];
    for (int quiet = 0; quiet < 2;) {
        pollfd p{far.get(), POLLIN, 0};
        if (::poll(&p, 1, 10) <= 0 || ::read(far.get(), scratch, sizeof scratch) <= 0) {
            ++quiet;
        } else {
            quiet = 0;
        }
    }
}

void UsbNode::Serve() {
    while (WaitForClient()) {
        // Returns when the program closes the node (the read sees the
        // hang-up) or the simulator stops.
        ServeRawStream(printer_, master_.get(), stop_, limits_);
        DropUnreadReplies();
    }
}

}  // namespace kpm::sim
