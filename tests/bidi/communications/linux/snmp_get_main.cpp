// Reads a printer's device identifier the way the library does and prints
// it in hex, so a test can run the query in a process and environment of its
// own:  kpbidi_snmp_get HOST
// Exit status: 0 answered, 1 library error (its code on stderr).
#include <cstdio>

#include "bidi/capi/error.h"
#include "bidi/communications/linux/network_connector.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s HOST\n", argv[0]);
        return 2;
    }
    try {
        const std::string id =
            KpBidi::communications::linux::NetworkConnector(argv[1]).GetDeviceId();
        for (unsigned char c : id) {
            std::printf("%02x", c);
        }
        std::printf("\n");
        return 0;
    } catch (const KpBidi::Error& e) {
        std::fprintf(stderr, "error %d\n", static_cast<int>(e.code));
        return 1;
    }
}
