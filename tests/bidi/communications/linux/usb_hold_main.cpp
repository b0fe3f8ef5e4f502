// Holds a USB printer's port for a test, as a second program would: opens
// the exchange channel of the queue's printer (which takes the port lock),
// prints "holding", waits for a line on standard input, then performs one
// operation (the printer's identity) through that same channel and prints
// the printer's serial number. Exit status 1 with the failure on standard
// error.
//
// Usage: kpbidi_usb_hold QUEUE
#include <iostream>
#include <memory>
#include <string>

#include "bidi/capi/error.h"
#include "bidi/communications/linux/usb_connector.h"
#include "bidi/protocol/printer.h"

namespace {

using KpBidi::communications::Connector;
using KpBidi::communications::Stream;
using KpBidi::communications::linux::UsbConnector;

// The queue's connector, whose stream is the one already open.
class HeldConnector : public Connector {
public:
    HeldConnector(const std::string& queue, std::unique_ptr<Stream> stream)
        : inner_(queue), stream_(std::move(stream)) {}
    std::string GetDeviceId() override { return inner_.GetDeviceId(); }
    std::unique_ptr<Stream> OpenUsbStream() override { return std::move(stream_); }
    std::unique_ptr<Stream> OpenNetworkStream(int port) override {
        return inner_.OpenNetworkStream(port);
    }
    bool IsAvailable() override { return inner_.IsAvailable(); }
    int GetProtocolType() override { return inner_.GetProtocolType(); }
    std::size_t GetPreferredReadSize() override { return inner_.GetPreferredReadSize(); }

private:
    UsbConnector inner_;
    std::unique_ptr<Stream> stream_;
};

class HeldPrinter : public KpBidi::Printer {
public:
    HeldPrinter(std::string queue, std::unique_ptr<Stream> stream)
        : queue_(std::move(queue)), stream_(std::move(stream)) {}
    std::string GetName() override { return queue_; }
    std::unique_ptr<Connector> CreateConnector() override {
        return std::make_unique<HeldConnector>(queue_, std::move(stream_));
    }

private:
    std::string queue_;
    std::unique_ptr<Stream> stream_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: kpbidi_usb_hold QUEUE\n";
        return 2;
    }
    try {
        UsbConnector connector(argv[1]);
        std::unique_ptr<Stream> stream = connector.OpenUsbStream();
        std::cout << "holding" << std::endl;
        std::string line;
        std::getline(std::cin, line);
        HeldPrinter printer(argv[1], std::move(stream));
        const KpBidi::PrinterInfo info = printer.GetPrinterInfo();
        std::cout << "status " << info.status << " serial " << info.serialNumber << std::endl;
        return 0;
    } catch (const KpBidi::Error& e) {
        std::cerr << "kpbidi_usb_hold: error " << e.code << "\n";
    } catch (const std::exception& e) {
        std::cerr << "kpbidi_usb_hold: " << e.what() << "\n";
    }
    return 1;
}
