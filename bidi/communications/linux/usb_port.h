// The usblp device node of a USB printer (/dev/usb/lpN), open for writing
// the request and reading the reply. usblp lets one program have a printer
// open at a time and passes bytes unchanged in both directions; the node is
// opened non-blocking so that every wait has its own deadline.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bidi/communications/linux/unique_fd.h"

namespace KpBidi::communications::linux {

class UsbPort {
public:
    static constexpr std::chrono::milliseconds kReadTimeout{3000};
    static constexpr std::chrono::milliseconds kWriteTimeout{120'000};

    // Opens `path` for reading and writing. Another program holding the
    // printer (EBUSY) raises UsbPortBusyException; any other failure raises
    // Error by CodeFromSystemError (1004 for a node the user may not open,
    // 1008 otherwise).
    explicit UsbPort(const std::string& path);

    // Hands the whole block to the printer and waits until the printer has
    // taken the last of it. Raises TimeoutException "Timeout: job was not
    // completed" when that takes longer than `timeout`; false when the
    // device refuses the bytes (unplugged, or a transfer error).
    bool Write(const unsigned char* data, std::size_t size,
               std::chrono::milliseconds timeout = kWriteTimeout);

    // Waits at most `timeout` for the printer to send something, then reads
    // at most buffer.size() bytes into the buffer's start and sets `ok`.
    // 0 ends the reply. No data in time: Error 1005 "UsbPort::Read: timed out
    // while reading from USB port"; a failed read: Error 1010 "UsbPort::Read".
    std::int64_t Read(std::vector<unsigned char>& buffer, bool& ok,
                      std::chrono::milliseconds timeout = kReadTimeout);

private:
    UniqueFd fd_;
};

}  // namespace KpBidi::communications::linux
