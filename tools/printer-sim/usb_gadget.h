// The simulator as the device side of a USB printer on the machine's own USB
// stack: it serves a FunctionFS function (usb_f_fs) of a USB gadget, so the
// computer side sees a printer-class device that the kernel's usblp driver
// and CUPS's usb backend drive as they would real hardware. On a machine
// without a device controller, dummy_hcd connects a gadget to the same
// kernel's host side.
//
// What a gadget is (vendor and product ids, serial number) is set up in
// configfs by whoever creates it; this side writes the interface's
// descriptors, answers the printer class's control requests (the IEEE 1284
// device identifier from the printer's current state, the port status) and
// carries the packet protocol over the bulk endpoints: requests are read in
// packet-sized pieces as they arrive and handed on at once, and replies are
// written in packet-sized pieces from a queue on a thread of their own, as a
// printer's FIFO drains. A reply the computer leaves unread (its zero
// padding) stays in front of the next one, as on a real printer. Faults act
// as on the pseudo-terminal node (usb_node.h).
#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>

#include "tools/printer-sim/gadget_endpoint.h"
#include "tools/printer-sim/printer.h"
#include "tools/printer-sim/session.h"
#include "tools/printer-sim/socket.h"

struct usb_ctrlrequest;

namespace kpm::sim {

class UsbGadget {
public:
    // Serves the FunctionFS instance mounted at `folder`. When it returns the
    // descriptors are written, so the gadget can be bound to a controller.
    // Throws std::system_error.
    UsbGadget(Printer& printer, SessionLimits limits, const std::filesystem::path& folder);
    ~UsbGadget();

    UsbGadget(const UsbGadget&) = delete;
    UsbGadget& operator=(const UsbGadget&) = delete;

    // While held, nothing more is taken from the bulk-out endpoint: the
    // computer's writes wait, as they do for a printer that is busy.
    void HoldIntake(bool hold) noexcept { holdIntake_ = hold; }

private:
    // The bulk transfers of one configuration by the computer, from the
    // function's enabling to its disabling.
    struct Session;

    void Control();
    void Setup(const usb_ctrlrequest& request);
    void StartSession();
    void EndSession();
    void Intake(Session& session);
    void Output(Session& session);

    Printer& printer_;
    SessionLimits limits_;
    StopSignal stop_;
    UniqueFd ep0_;
    std::unique_ptr<GadgetEndpoint> out_;  // ep1: requests from the computer
    std::unique_ptr<GadgetEndpoint> in_;   // ep2: replies to it
    std::atomic<bool> holdIntake_{false};
    std::unique_ptr<Session> session_;
    std::thread control_;
};

}  // namespace kpm::sim
