// A printer reachable over one transport.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "bidi/communications/stream.h"

namespace KpBidi::communications {

enum ProtocolType : int {
    UsbProtocol = 0,
    NetworkProtocol = 1,
};

// Holds only an identity (a printer name or a host); it opens nothing until a
// stream is requested or a query is made. Each connector answers the stream
// request of its own transport only; the other raises std::logic_error.
class Connector {
public:
    virtual ~Connector() = default;

    // The printer's IEEE 1284 device identifier, read from the printer.
    virtual std::string GetDeviceId() = 0;
    virtual std::unique_ptr<Stream> OpenUsbStream() = 0;
    virtual std::unique_ptr<Stream> OpenNetworkStream(int port) = 0;
    // Cheap reachability test made before every exchange.
    virtual bool IsAvailable() = 0;
    virtual int GetProtocolType() = 0;
    // Preferred number of bytes per read; 0 means no preference.
    virtual std::size_t GetPreferredReadSize() = 0;

    Connector() = default;
    Connector(const Connector&) = delete;
    Connector& operator=(const Connector&) = delete;
};

}  // namespace KpBidi::communications
