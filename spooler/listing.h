// What the print system tells about its printers and ports.
#pragma once

#include <string>

namespace spooler {

// One queue of the print system, in the print system's order.
struct PrinterEntry {
    std::string name;
    // The queue's port: its device URI. A class (a pool of queues) has the
    // device URIs of its members separated by commas, which names no single
    // port.
    std::string port;
    // The queue's driver name: the make-and-model of its driver.
    std::string driver;
    bool isClass = false;
};

// One port and the monitor that owns it (see monitors.h).
struct PortEntry {
    std::string name;
    std::string monitor;
};

}  // namespace spooler
