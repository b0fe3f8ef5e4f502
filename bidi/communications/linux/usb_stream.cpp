#include "bidi/communications/linux/usb_stream.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <system_error>

#include "bidi/capi/error.h"
#include "bidi/communications/linux/usb_lookup.h"

namespace KpBidi::communications::linux {
std::string UsbPortLockName(const std::string& instanceId) {
    std::string name = "kpbidi_" + instanceId;
    std::replace(name.begin(), name.end(), '\\', '_');
    std::replace(name.begin(), name.end(), '/', '_');
    if (name.size() <= kMaxLockNameLength) {
        return name;
    }
    // FNV-1a of the whole name: the same in every program, so all of them
    // still meet at one file.
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : name) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
    }
    char suffix[18];
    std::snprintf(suffix, sizeof suffix, "_%016" PRIx64, hash);
    std::size_t keep = kMaxLockNameLength - (sizeof suffix - 1);
    // Never cut a UTF-8 sequence of the serial number in two.
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) {
        --keep;
    }
    name.resize(keep);
    return name + suffix;
}

bool QueueIsPrinting(spooler::Printer& printer) {
    std::error_code error;
    const std::vector<spooler::JobEntry> jobs = printer.Jobs(error);
    ThrowIfSystemError(error);
    return std::any_of(jobs.begin(), jobs.end(), [](const spooler::JobEntry& job) {
        return job.state == spooler::JobState::Processing;
    });
}

UsbStream::UsbStream(const std::string& printerName, std::shared_ptr<spooler::Spooler> spooler)
    : spooler_(std::move(spooler)) {
    std::error_code error;
    printer_ = spooler_->Open(printerName, error);
    ThrowIfSystemError(error);
    const std::string port = printer_->Port(error);
    ThrowIfSystemError(error);
    const std::string instanceId = GetUSBPrintDeviceInstanceID(port);

    lockName_ = UsbPortLockName(instanceId);
    switch (lock_.Acquire(lockName_, kLockWait, error)) {
        case platform::NamedLock::Result::Acquired:
            break;
        case platform::NamedLock::Result::HeldElsewhere:
            std::cerr << "Mutex already locked" << std::endl;
            throw UsbPortBusyException();
        case platform::NamedLock::Result::Failed:
            throw std::system_error(error, "NamedLock " + lockName_);
    }

    std::string path;
    try {
        path = GetUSBPrintDevicePath(instanceId);
    } catch (const std::runtime_error&) {
        // While CUPS's usb backend prints, usblp lets go of the printer and
        // its node is gone: that is a busy port, not a missing one.
        if (QueueIsPrinting(*printer_)) {
            throw UsbPortBusyException();
        }
        throw;
    }
    port_.emplace(path);
}

bool UsbStream::Write(const unsigned char* data, std::int32_t length) {
    if (length < 0 || (length > 0 && data == nullptr)) {
        throw Error(InvalidArgument);
    }
    if (QueueIsPrinting(*printer_)) {
        throw UsbPortBusyException();
    }
    return port_->Write(data, static_cast<std::size_t>(length), Limit(UsbPort::kWriteTimeout));
}

std::int64_t UsbStream::Read(std::vector<unsigned char>& buffer, bool& ok) {
    return port_->Read(buffer, ok, Limit(UsbPort::kReadTimeout));
}

std::chrono::milliseconds UsbStream::Limit(std::chrono::milliseconds wait) const noexcept {
    return deadline_ != nullptr ? deadline_->Limit(wait) : wait;
}

}  // namespace KpBidi::communications::linux
