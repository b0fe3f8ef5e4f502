// Runs one reachability test and reports the outcome by exit status, so the
// echo tests can run it inside a network namespace of their own:
//   kpbidi_echo_probe METHOD HOST [ECHO_PROGRAM]
// METHOD: auto (what NetworkConnector::IsAvailable does), datagram, raw,
// helper, tcp. ECHO_PROGRAM stands in for the installed kpm-echo (auto and
// helper), so that a copy of it with the capability can be tried.
// Exit status: 0 answered, 1 no answer, 2 method not permitted, 3 error.
#include <arpa/inet.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "bidi/capi/error.h"
#include "bidi/communications/linux/icmp_echo.h"
#include "bidi/communications/linux/network_connector.h"

using KpBidi::communications::linux::EchoMethod;
using KpBidi::communications::linux::EchoProbe;
using KpBidi::communications::linux::NetworkConnector;

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s auto|datagram|raw|helper|tcp HOST [ECHO_PROGRAM]\n",
                     argv[0]);
        return 3;
    }
    const char* method = argv[1];
    const char* host = argv[2];
    const std::string helper =
        argc == 4 ? argv[3] : KpBidi::communications::linux::InstalledEchoHelper();
    in_addr target{};
    try {
        if (std::strcmp(method, "auto") == 0) {
            if (argc == 3) {
                return NetworkConnector(host).IsAvailable() ? 0 : 1;
            }
            if (::inet_pton(AF_INET, host, &target) != 1) {
                std::fprintf(stderr, "not an IPv4 address: %s\n", host);
                return 3;
            }
            return EchoProbe::Open(helper).Echo(target, NetworkConnector::kEchoTimeout) ? 0 : 1;
        }
        EchoMethod m;
        if (std::strcmp(method, "datagram") == 0) {
            m = EchoMethod::Datagram;
        } else if (std::strcmp(method, "raw") == 0) {
            m = EchoMethod::Raw;
        } else if (std::strcmp(method, "helper") == 0) {
            m = EchoMethod::Helper;
        } else if (std::strcmp(method, "tcp") == 0) {
            m = EchoMethod::TcpConnect;
        } else {
            std::fprintf(stderr, "unknown method %s\n", method);
            return 3;
        }
        auto probe = EchoProbe::Open(m, helper);
        if (!probe) {
            return 2;
        }
        if (::inet_pton(AF_INET, host, &target) != 1) {
            std::fprintf(stderr, "not an IPv4 address: %s\n", host);
            return 3;
        }
        return probe->Echo(target, NetworkConnector::kEchoTimeout) ? 0 : 1;
    } catch (const KpBidi::Error& e) {
        std::fprintf(stderr, "error %d\n", static_cast<int>(e.code));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    return 3;
}
