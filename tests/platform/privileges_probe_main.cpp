// Started by the net_raw tests, as another user, from a copy that holds
// CAP_NET_RAW as a file capability:
//   platform_privileges_probe drop|keep
// drop: what kpm-wizard and kpbidi do first. Then reports by exit status:
// 0 no capability left and no raw socket, 1 a raw socket opens, 2 a
// capability is left in the permitted or effective set, 3 error.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>

#include "platform/net_raw.h"

namespace {

// CapPrm and CapEff of /proc/self/status, as a plugin loaded into the
// process would see them; true when both are empty.
bool NoCapabilityLeft() {
    std::ifstream status("/proc/self/status");
    int seen = 0;
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("CapPrm:", 0) == 0 || line.rfind("CapEff:", 0) == 0) {
            ++seen;
            if (line.find_first_not_of("0\t ", 7) != std::string::npos) {
                return false;
            }
        }
    }
    return seen == 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        return 3;
    }
    if (std::strcmp(argv[1], "drop") == 0 && platform::DropPrivilegesGainedAtStart()) {
        return 3;
    }
    const int fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd >= 0) {
        ::close(fd);
        return 1;
    }
    return NoCapabilityLeft() ? 0 : 2;
}
