#include "bidi/communications/linux/network_connector.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <stdexcept>

#include "bidi/capi/error.h"
#include "bidi/communications/linux/address.h"
#include "bidi/communications/linux/icmp_echo.h"
#include "bidi/communications/linux/network_stream.h"

namespace KpBidi::communications::linux {

NetworkConnector::NetworkConnector(std::string host, std::chrono::milliseconds connectTimeout)
    : host_(std::move(host)), connectTimeout_(connectTimeout) {}

std::string NetworkConnector::GetDeviceId() {
    const std::string address = ResolveIPv4Text(host_);
    if (address.empty()) {
        throw Error(PrinterNotFound);
    }
    return DeviceIdFrom(GetSnmpValue(address, kDeviceIdCommunity, kDeviceIdOid));
}

std::string DeviceIdFrom(const SnmpResult& result) {
    if (const auto* failure = std::get_if<SnmpFailure>(&result)) {
        throw Error(CodeFromSnmpFailure(*failure));
    }
    const auto& answer = std::get<SnmpAnswer>(result);
    if (answer.value.kind != SnmpValue::Kind::OctetString) {
        throw Error(PrinterNotAvailable);
    }
    return answer.value.bytes;
}

std::unique_ptr<Stream> NetworkConnector::OpenUsbStream() {
    throw std::logic_error("attempted to open USB for network printer");
}

std::unique_ptr<Stream> NetworkConnector::OpenNetworkStream(int port) {
    if (port < 1 || port > 65535) {
        throw Error(InvalidArgument);
    }
    return std::make_unique<NetworkStream>(host_, static_cast<std::uint16_t>(port),
                                           connectTimeout_);
}

bool NetworkConnector::IsAvailable() {
    EchoProbe probe = EchoProbe::Open();
    // Every family is asked for, so that a host with only IPv6 addresses
    // resolves and answers false; the stream type keeps one entry per
    // address instead of one per socket type.
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    const AddressList list = Address::GetAddressInfo(host_, {}, &hints);
    for (const addrinfo* a = list.get(); a != nullptr; a = a->ai_next) {
        if (a->ai_family != AF_INET || a->ai_addrlen < sizeof(sockaddr_in)) {
            continue;
        }
        const auto* in = reinterpret_cast<const sockaddr_in*>(a->ai_addr);
        if (probe.Echo(in->sin_addr, kEchoTimeout)) {
            return true;
        }
    }
    return false;
}

}  // namespace KpBidi::communications::linux
