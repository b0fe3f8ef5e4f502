// Lets a test's snmpd answer broadcasts as a printer's agent does: snmpd
// (net-snmp 5.9) answers a request sent to a directed broadcast address
// from that broadcast address, which the kernel refuses to send ("Failure
// in sendto"), so a simulated printer would never be found. This relay
// takes the requests sent to the host's address and to its broadcast
// address on port 161, hands each to snmpd on 127.0.0.1:AGENT_PORT and
// sends the answer back from the host's own address and port 161.
//   kpm_snmp_relay ADDRESS BROADCAST AGENT_PORT        (runs until killed)
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

int Bound(const char* address, std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    if (fd < 0 || ::inet_pton(AF_INET, address, &a.sin_addr) != 1 ||
        ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        std::perror(address);
        std::exit(1);
    }
    return fd;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s ADDRESS BROADCAST AGENT_PORT\n", argv[0]);
        return 2;
    }
    const int own = Bound(argv[1], 161);
    const int broadcast = Bound(argv[2], 161);
    const int agent = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in agentAddress{};
    agentAddress.sin_family = AF_INET;
    agentAddress.sin_port = htons(static_cast<std::uint16_t>(std::atoi(argv[3])));
    agentAddress.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (agent < 0 ||
        ::connect(agent, reinterpret_cast<sockaddr*>(&agentAddress), sizeof agentAddress) != 0) {
        std::perror("agent");
        return 1;
    }
    std::vector<unsigned char> buffer(65536);
    for (;;) {
        pollfd in[2] = {{own, POLLIN, 0}, {broadcast, POLLIN, 0}};
        if (::poll(in, 2, -1) <= 0) {
            continue;
        }
        for (const pollfd& p : in) {
            if ((p.revents & POLLIN) == 0) {
                continue;
            }
            sockaddr_in from{};
            socklen_t fromLength = sizeof from;
            const ssize_t n = ::recvfrom(p.fd, buffer.data(), buffer.size(), 0,
                                         reinterpret_cast<sockaddr*>(&from), &fromLength);
            if (n <= 0 || ::send(agent, buffer.data(), static_cast<std::size_t>(n), 0) != n) {
                continue;
            }
            pollfd answer{agent, POLLIN, 0};
            if (::poll(&answer, 1, 1000) != 1) {
                continue;
            }
            const ssize_t m = ::recv(agent, buffer.data(), buffer.size(), 0);
            if (m > 0) {
                ::sendto(own, buffer.data(), static_cast<std::size_t>(m), 0,
                         reinterpret_cast<sockaddr*>(&from), fromLength);
            }
        }
    }
}
