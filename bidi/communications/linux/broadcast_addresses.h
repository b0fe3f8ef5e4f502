// Where a request reaches every printer on the machine's own IPv4 networks.
#pragma once

#include <string>
#include <vector>

namespace KpBidi::communications::linux {

// The broadcast address (dotted text) of every IPv4 interface that is up,
// is not a loopback interface and has one, each address once, in the
// system's order of interfaces. Empty when the interfaces cannot be listed.
std::vector<std::string> BroadcastAddresses();

}  // namespace KpBidi::communications::linux
