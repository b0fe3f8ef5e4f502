// A printer attached by USB, known by its print-queue name.
//
// Not yet supported: requests to a USB printer go out as raw jobs of its
// queue and replies come back from the usblp device, and that transport is
// still to be built. Until then every operation that would reach the
// printer raises Error(UnsupportedPort) with kNotYetSupported, so a USB
// printer is reported as "not supported", never as "not reachable".
#pragma once

#include <string>

#include "bidi/communications/connector.h"

namespace KpBidi::communications::linux {

class UsbConnector : public Connector {
public:
    static constexpr const char kNotYetSupported[] =
        "UsbConnector: the USB transport is not supported yet";

    explicit UsbConnector(std::string printerName);

    std::string GetDeviceId() override;
    std::unique_ptr<Stream> OpenUsbStream() override;
    // Always std::logic_error: a USB printer has no network channel.
    std::unique_ptr<Stream> OpenNetworkStream(int port) override;
    bool IsAvailable() override;
    int GetProtocolType() override { return UsbProtocol; }
    std::size_t GetPreferredReadSize() override { return 0; }

    const std::string& printerName() const noexcept { return printerName_; }

private:
    std::string printerName_;
};

}  // namespace KpBidi::communications::linux
