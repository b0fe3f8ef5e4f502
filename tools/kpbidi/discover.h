// kpbidi discover: the KPM printers this machine can reach and how, without
// naming a printer first: the network ones that answer (what CUPS's backend
// `kpm` lists), the USB printers plugged in, and the print queues the
// wizard's main page lists.
#pragma once

#include <string>

#include "tools/kpbidi/commands.h"

namespace kpbidi_tool {

// Whether an IEEE 1284 device identifier names the KPM family: its
// manufacturer (MFG or MANUFACTURER) is "Corvane" and its model (MDL or
// MODEL) "KPM pro", as the queue driver's *1284DeviceID.
bool IsKpmDeviceId(const std::string& deviceId);

int Discover(const Invocation& in);

}  // namespace kpbidi_tool
