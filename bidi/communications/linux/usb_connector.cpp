#include "bidi/communications/linux/usb_connector.h"

#include <stdexcept>

#include "bidi/capi/error.h"
#include "bidi/communications/linux/usb_lookup.h"
#include "bidi/communications/linux/usb_stream.h"

namespace KpBidi::communications::linux {
UsbConnector::UsbConnector(std::string printerName, std::shared_ptr<spooler::Spooler> spooler)
    : printerName_(std::move(printerName)), spooler_(std::move(spooler)) {}

UsbConnector::UsbConnector(std::string printerName)
    : UsbConnector(std::move(printerName),
                   std::shared_ptr<spooler::Spooler>(spooler::MakeSystemSpooler())) {}

std::string UsbConnector::Port() {
    std::error_code error;
    const std::unique_ptr<spooler::Printer> printer = spooler_->Open(printerName_, error);
    ThrowIfSystemError(error);
    std::string port = printer->Port(error);
    ThrowIfSystemError(error);
    return port;
}

std::string UsbConnector::GetDeviceId() {
    const auto printer = FindUsbPrinterOfPort(Port());
    if (!printer) {
        throw Error(PrinterNotAvailable);
    }
    return printer->PrinterInterface().ieee1284Id.value_or(std::string());
}

std::unique_ptr<Stream> UsbConnector::OpenUsbStream() {
    return std::make_unique<UsbStream>(printerName_, spooler_);
}

std::unique_ptr<Stream> UsbConnector::OpenNetworkStream(int) {
    throw std::logic_error("attempted to open network for USB printer");
}

bool UsbConnector::IsAvailable() {
    // Linux keeps nothing of an unplugged device, so a printer that cannot
    // be found is one that is not there.
    return FindUsbPrinterOfPort(Port()).has_value();
}

std::size_t UsbConnector::GetPreferredReadSize() {
    const auto printer = FindUsbPrinterOfPort(Port());
    if (!printer) {
        return 0;
    }
    const platform::UsbEndpoint* in = printer->PrinterInterface().BulkIn();
    return in != nullptr ? in->maxPacketSize : 0;
}

}  // namespace KpBidi::communications::linux
