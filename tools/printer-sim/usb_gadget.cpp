#include "tools/printer-sim/usb_gadget.h"

#include <fcntl.h>
#include <linux/usb/ch9.h>
#include <linux/usb/functionfs.h>
#include <poll.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <system_error>
#include <vector>

#include "tools/printer-sim/gadget_descriptors.h"
#include "tools/printer-sim/printer_state.h"

namespace kpm::sim {
namespace {

using namespace std::chrono_literals;

// Reply packets in flight at once: enough that the host never waits for us
// between two of its reads.
constexpr std::size_t kReplyQueueDepth = 32;

[[noreturn]] void Fail(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

void WriteBlock(int fd, const std::vector<unsigned char>& block, const char* what) {
    if (::write(fd, block.data(), block.size()) != static_cast<ssize_t>(block.size())) {
        Fail(what);
    }
}

std::array<UniqueFd, 2> Pipe() {
    int fds[2];
    if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) {
        Fail("pipe2");
    }
    return {UniqueFd(fds[0]), UniqueFd(fds[1])};
}

}  // namespace

struct UsbGadget::Session {
    StopSignal stop;
    // Requests: the intake thread writes what the computer sends, the
    // protocol thread reads it. Replies: the other way round.
    std::array<UniqueFd, 2> requests = Pipe();
    std::array<UniqueFd, 2> replies = Pipe();
    std::atomic<bool> inputEnded{false};
    std::thread intake;
    std::thread protocol;
    std::thread output;
};

UsbGadget::UsbGadget(Printer& printer, SessionLimits limits, const std::filesystem::path& folder)
    : printer_(printer), limits_(limits) {
    const std::string ep0 = folder / "ep0";
    ep0_ = UniqueFd(::open(ep0.c_str(), O_RDWR | O_CLOEXEC));
    if (!ep0_) {
        Fail("open " + ep0);
    }
    WriteBlock(ep0_.get(), GadgetDescriptors(), "FunctionFS descriptors");
    WriteBlock(ep0_.get(), GadgetStrings(), "FunctionFS strings");
    // The endpoint files exist once the descriptors are in.
    out_ = std::make_unique<GadgetEndpoint>(folder / "ep1");
    in_ = std::make_unique<GadgetEndpoint>(folder / "ep2", kReplyQueueDepth);
    control_ = std::thread([this] { Control(); });
}

UsbGadget::~UsbGadget() {
    stop_.Raise();
    control_.join();
    EndSession();
}

void UsbGadget::Control() {
    std::array<usb_functionfs_event, 4> events;
    for (;;) {
        pollfd fds[2] = {{ep0_.get(), POLLIN, 0}, {stop_.fd(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR) {
            return;
        }
        if (fds[1].revents != 0) {
            return;
        }
        if (fds[0].revents == 0) {
            continue;
        }
        const ssize_t n = ::read(ep0_.get(), events.data(), sizeof events);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                continue;
            }
            return;
        }
        for (std::size_t i = 0; i < static_cast<std::size_t>(n) / sizeof events[0]; ++i) {
            switch (events[i].type) {
                case FUNCTIONFS_ENABLE:
                    EndSession();
                    StartSession();
                    break;
                case FUNCTIONFS_DISABLE:
                case FUNCTIONFS_UNBIND:
                    EndSession();
                    break;
                case FUNCTIONFS_SETUP:
                    Setup(events[i].u.setup);
                    break;
                default:
                    break;
            }
        }
    }
}

void UsbGadget::Setup(const usb_ctrlrequest& request) {
    const bool in = (request.bRequestType & USB_DIR_IN) != 0;
    const bool classInterface = (request.bRequestType & (USB_TYPE_MASK | USB_RECIP_MASK)) ==
                                (USB_TYPE_CLASS | USB_RECIP_INTERFACE);
    const std::uint16_t length = request.wLength;
    if (classInterface && in && request.bRequest == kGetDeviceId) {
        const std::vector<unsigned char> reply = DeviceIdReply(DeviceId(printer_.state()), length);
        [[maybe_unused]] const ssize_t n = ::write(ep0_.get(), reply.data(), reply.size());
        return;
    }
    if (classInterface && in && request.bRequest == kGetPortStatus && length >= 1) {
        const unsigned char status = kPortStatusReady;
        [[maybe_unused]] const ssize_t n = ::write(ep0_.get(), &status, 1);
        return;
    }
    if (classInterface && !in && request.bRequest == kSoftReset) {
        // The status stage: acknowledged by reading the (empty) data.
        unsigned char none;
        [[maybe_unused]] const ssize_t n = ::read(ep0_.get(), &none, 0);
        return;
    }
    // Anything else is stalled: FunctionFS stalls a request whose data
    // stage is answered in the wrong direction.
    unsigned char none = 0;
    [[maybe_unused]] const ssize_t n =
        in ? ::read(ep0_.get(), &none, 0) : ::write(ep0_.get(), &none, 0);
}

void UsbGadget::StartSession() {
    session_ = std::make_unique<Session>();
    Session& s = *session_;
    s.intake = std::thread([this, &s] { Intake(s); });
    s.protocol = std::thread([this, &s] {
        // A reply the computer stops reading ends one stream; the session
        // lasts until the computer lets go of the function.
        while (!s.stop.raised() && !s.inputEnded) {
            ServeRawStream(printer_, s.requests[0].get(), s.replies[1].get(), s.stop, limits_);
        }
    });
    s.output = std::thread([this, &s] { Output(s); });
}

void UsbGadget::EndSession() {
    if (!session_) {
        return;
    }
    session_->stop.Raise();
    session_->intake.join();
    session_->protocol.join();
    session_->output.join();
    session_.reset();
}

void UsbGadget::Intake(Session& s) {
    std::array<unsigned char, kGadgetHighSpeedPacket> packet;
    try {
        for (;;) {
            while (holdIntake_ && !s.stop.raised()) {
                if (WaitReadable(s.stop.fd(), s.stop, 20ms)) {
                    break;
                }
            }
            const long n = out_->Read(packet.data(), packet.size(), s.stop);
            if (n < 0) {
                break;  // the computer let go; the session ends with it
            }
            WriteAll(s.requests[1].get(), packet.data(), static_cast<std::size_t>(n), s.stop,
                     std::chrono::hours(24));
        }
    } catch (const Stopped&) {
    } catch (const std::exception&) {
    }
    s.inputEnded = true;
    // The protocol thread reads the end of its input.
    s.requests[1].reset();
}

void UsbGadget::Output(Session& s) {
    std::array<unsigned char, kGadgetHighSpeedPacket> packet;
    bool hostGone = false;
    const int replies = s.replies[0].get();
    try {
        for (;;) {
            // Every packet the protocol has ready goes into the queue, up to
            // its depth; what nobody will read any more is dropped.
            while (in_->CanQueue() || hostGone) {
                std::size_t size = 0;
                while (size < packet.size()) {
                    const ssize_t n = ::read(replies, packet.data() + size, packet.size() - size);
                    if (n <= 0) {
                        break;
                    }
                    size += static_cast<std::size_t>(n);
                }
                if (size == 0) {
                    break;
                }
                if (!hostGone && in_->Queue(packet.data(), size) < 0) {
                    hostGone = true;
                }
            }
            pollfd fds[3] = {{s.stop.fd(), POLLIN, 0},
                             {in_->completions(), POLLIN, 0},
                             {in_->CanQueue() || hostGone ? replies : -1, POLLIN, 0}};
            if (::poll(fds, 3, -1) < 0 && errno != EINTR) {
                break;
            }
            if (fds[0].revents != 0) {
                break;
            }
            if (fds[1].revents != 0 && in_->Collect() < 0) {
                hostGone = true;
            }
        }
    } catch (const std::exception&) {
    }
    in_->CancelAll();
}

}  // namespace kpm::sim
