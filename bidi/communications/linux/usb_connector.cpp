#include "bidi/communications/linux/usb_connector.h"

#include <stdexcept>

#include "bidi/capi/error.h"

namespace KpBidi::communications::linux {

UsbConnector::UsbConnector(std::string printerName) : printerName_(std::move(printerName)) {}

std::string UsbConnector::GetDeviceId() {
    throw Error(UnsupportedPort, kNotYetSupported);
}

std::unique_ptr<Stream> UsbConnector::OpenUsbStream() {
    throw Error(UnsupportedPort, kNotYetSupported);
}

std::unique_ptr<Stream> UsbConnector::OpenNetworkStream(int) {
    throw std::logic_error("attempted to open network for USB printer");
}

bool UsbConnector::IsAvailable() {
    throw Error(UnsupportedPort, kNotYetSupported);
}

}  // namespace KpBidi::communications::linux
