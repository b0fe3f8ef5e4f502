// The raw-socket capability the installed programs are given for their ICMP
// echo (the way ping is), and giving it up where it is not needed.
//
// The echo tries an ICMP datagram ("ping") socket first and a raw socket
// only where the system allows no ping socket to the process's groups, so
// where ping sockets work the capability is never used. A program that
// loads plugins named by the user's environment (Qt's QT_PLUGIN_PATH, GTK's
// modules) must not hold it then: that would hand CAP_NET_RAW to whatever
// the user points it at.
#pragma once

#include <system_error>

namespace platform {

// Whether this process may open an ICMP datagram socket now.
bool PingSocketAllowed();

// Removes CAP_NET_RAW from the process's effective, permitted and
// inheritable sets, for good. Harmless when it holds no such capability.
std::error_code DropNetRawCapability();

// Drops the capability when PingSocketAllowed(); keeps it otherwise, for the
// raw socket. Returns the failure to drop it, if any.
std::error_code DropNetRawCapabilityUnlessNeeded();

}  // namespace platform
