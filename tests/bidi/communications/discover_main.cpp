// Runs the printer discovery once and prints each printer found whose name
// starts with PREFIX, one "NAME ADDRESS" line each (ADDRESS dotted, 0 for
// USB), then "took MILLISECONDS".
//   kpbidi_discover PREFIX
#include <arpa/inet.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "bidi/communications/printer_discovery.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PREFIX\n", argv[0]);
        return 2;
    }
    const std::string prefix = argv[1];
    const auto start = std::chrono::steady_clock::now();
    const auto found = KpBidi::DiscoverPrinters();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    for (const KpBidi::DiscoveredPrinter& p : found) {
        if (p.name.rfind(prefix, 0) != 0) {
            continue;
        }
        in_addr a{};
        a.s_addr = htonl(p.address);
        char text[INET_ADDRSTRLEN] = "0";
        if (p.address != 0) {
            inet_ntop(AF_INET, &a, text, sizeof text);
        }
        std::printf("%s %s\n", p.name.c_str(), text);
    }
    std::printf("took %lld\n", static_cast<long long>(took.count()));
    return 0;
}
