// A printer reached over TCP/IP: echo test, TCP streams, SNMP identity.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

#include "bidi/communications/connector.h"
#include "bidi/communications/linux/connection.h"
#include "bidi/communications/linux/snmp_query.h"

namespace KpBidi::communications::linux {

class NetworkConnector : public Connector {
public:
    static constexpr std::chrono::milliseconds kEchoTimeout{100};

    // `host`: a DNS name or a dotted IPv4 address, as the printer's queue
    // holds it. Nothing is opened or resolved here. Its streams give up
    // connecting after `connectTimeout`.
    explicit NetworkConnector(
        std::string host, std::chrono::milliseconds connectTimeout = Connection::kConnectTimeout);

    // The IEEE 1284 device identifier, read with one SNMPv2c GET from the
    // host's first IPv4 address. No IPv4 address -> Error 1011; no answer,
    // an answer that is not an octet string -> Error 1003 (see snmp_query.h
    // for the rest).
    std::string GetDeviceId() override;
    // Always std::logic_error: a network printer has no USB channel.
    std::unique_ptr<Stream> OpenUsbStream() override;
    // A TCP connection to `port` (1..65535, else Error 1000).
    std::unique_ptr<Stream> OpenNetworkStream(int port) override;
    // One echo per IPv4 address of the host, kEchoTimeout each, in the
    // resolver's order; true at the first reply. A host that does not
    // resolve raises Error 1011; one with only IPv6 addresses answers false.
    bool IsAvailable() override;
    int GetProtocolType() override { return NetworkProtocol; }
    std::size_t GetPreferredReadSize() override { return 0; }

    const std::string& host() const noexcept { return host_; }

private:
    std::string host_;
    std::chrono::milliseconds connectTimeout_;
};

// The device identifier in an SNMP query's result: the octet string's bytes,
// unchanged. A failed query raises Error by CodeFromSnmpFailure; an answer of
// any other kind (INTEGER, noSuchObject, ...) raises Error 1003.
std::string DeviceIdFrom(const SnmpResult& result);

}  // namespace KpBidi::communications::linux
