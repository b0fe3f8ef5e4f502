// A printer attached by USB, known by its print-queue name. Every query
// asks the print system for the queue's port and looks the USB printer up
// in sysfs again (usb_lookup.h), so a printer that was unplugged, or moved
// to another queue, is seen as it is now.
#pragma once

#include <memory>
#include <string>

#include "bidi/communications/connector.h"
#include "spooler/spooler.h"

namespace KpBidi::communications::linux {

class UsbConnector : public Connector {
public:
    // The queue `printerName` of `spooler`.
    UsbConnector(std::string printerName, std::shared_ptr<spooler::Spooler> spooler);
    // The queue `printerName` of this machine's print system.
    explicit UsbConnector(std::string printerName);

    // IsAvailable first (false: Error 1003), then usblp's copy of the
    // printer's IEEE 1284 device identifier; none gives an empty string.
    std::string GetDeviceId() override;
    // A UsbStream on the queue (see there for its failures).
    std::unique_ptr<Stream> OpenUsbStream() override;
    // Always std::logic_error: a USB printer has no network channel.
    std::unique_ptr<Stream> OpenNetworkStream(int port) override;
    // Whether the USB printer behind the queue's port is plugged in now.
    // Failures of the print system raise Error by CodeFromSystemError.
    bool IsAvailable() override;
    int GetProtocolType() override { return UsbProtocol; }
    // wMaxPacketSize of the printer's first bulk-in endpoint; 0 when the
    // printer is not plugged in or has none.
    std::size_t GetPreferredReadSize() override;

    const std::string& printerName() const noexcept { return printerName_; }

private:
    // The queue's port (its device URI).
    std::string Port();

    std::string printerName_;
    std::shared_ptr<spooler::Spooler> spooler_;
};

}  // namespace KpBidi::communications::linux
