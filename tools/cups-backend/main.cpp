// The CUPS backend `kpm`. Run without arguments, as cups-deviced runs every
// backend to list the devices it can print to, it finds the KPM printers on
// the machine's IPv4 networks and prints one device line for each. It
// prints no jobs: the queues it suggests use CUPS's own socket backend.
#include <csignal>
#include <cstdio>
#include <exception>
#include <string>

#include "bidi/communications/network_discovery.h"
#include "tools/cups-backend/device_line.h"

namespace {

// The exit statuses of CUPS backends.
constexpr int kBackendOk = 0;
constexpr int kBackendFailed = 1;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 1) {
        std::fprintf(stderr,
                     "ERROR: %s only finds KPM printers on the network and prints no jobs: "
                     "give the queue the socket:// device it lists.\n",
                     argv[0] != nullptr ? argv[0] : "kpm");
        return kBackendFailed;
    }
    // cups-deviced may stop reading once it has had enough.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        std::string lines;
        for (const KpBidi::NetworkPrinter& printer : KpBidi::DiscoverNetworkPrinters()) {
            lines += kpm::cups_backend::DeviceLine(printer);
        }
        std::fputs(lines.c_str(), stdout);
        return std::fflush(stdout) == 0 ? kBackendOk : kBackendFailed;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ERROR: KPM printer discovery failed: %s\n", e.what());
        return kBackendFailed;
    }
}
