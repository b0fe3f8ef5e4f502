// One exchange channel to a USB printer, under its port lock.
//
// The request goes straight to the printer's usblp node and the reply is
// read from the same node. It does not travel as a print job: CUPS's usb
// backend takes the printer away from usblp while it prints and reads the
// printer's answers itself, so the print system only decides whether the
// port is busy (a job of the queue being processed).
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bidi/communications/deadline.h"
#include "bidi/communications/linux/usb_port.h"
#include "bidi/communications/stream.h"
#include "platform/named_lock.h"
#include "spooler/spooler.h"

namespace KpBidi::communications::linux {

// "kpbidi_" and the instance identifier with every backslash (and every
// slash, which no file name may hold) replaced by an underscore. A name
// longer than kMaxLockNameLength bytes (a long serial number; file names
// end at 255 bytes) keeps its start, cut at a character boundary, followed
// by "_" and 16 hexadecimal digits of a hash of the whole name.
inline constexpr std::size_t kMaxLockNameLength = 200;
std::string UsbPortLockName(const std::string& instanceId);

class UsbStream : public Stream {
public:
    static constexpr std::chrono::milliseconds kLockWait{1000};

    // Opens the queue `printerName` of `spooler`, finds the USB printer
    // behind its port, takes the port lock (waiting at most kLockWait) and
    // opens the printer's node, in this order. The lock comes before the
    // node so that a second program of ours waits for the first instead of
    // finding the node taken.
    //
    // Failures: the print system's, as Error by CodeFromSystemError; no such
    // printer plugged in, std::runtime_error kUsbPortNotFound; the lock held
    // by another program for kLockWait, "Mutex already locked" on standard
    // error and UsbPortBusyException; the lock file cannot be made,
    // std::system_error; the node missing while a job of the queue is being
    // printed, or the node held by another program, UsbPortBusyException.
    UsbStream(const std::string& printerName, std::shared_ptr<spooler::Spooler> spooler);

    // Refuses with UsbPortBusyException while a job of the queue is being
    // processed (held and stopped jobs do not count), then writes the block
    // to the printer (see UsbPort::Write; its 120 s, or less where the
    // deadline comes first). A negative length: Error 1000.
    bool Write(const unsigned char* data, std::int32_t length) override;

    // UsbPort::Read with its 3000 ms wait, or less where the deadline comes
    // first.
    std::int64_t Read(std::vector<unsigned char>& buffer, bool& ok) override;

    void SetDeadline(const Deadline* deadline) noexcept override { deadline_ = deadline; }

    const std::string& lockName() const noexcept { return lockName_; }

private:
    std::chrono::milliseconds Limit(std::chrono::milliseconds wait) const noexcept;

    // Destroyed in reverse: the node is closed before the lock is released,
    // so the next holder of the lock finds the node free.
    std::shared_ptr<spooler::Spooler> spooler_;
    std::unique_ptr<spooler::Printer> printer_;
    std::string lockName_;
    platform::NamedLock lock_;
    std::optional<UsbPort> port_;
    const Deadline* deadline_ = nullptr;
};

// Whether a job of `printer`'s queue is being processed now; failures of the
// print system raise Error by CodeFromSystemError.
bool QueueIsPrinting(spooler::Printer& printer);

}  // namespace KpBidi::communications::linux
