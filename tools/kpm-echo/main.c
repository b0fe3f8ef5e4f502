/* kpm-echo: one ICMP echo to one IPv4 address, for the communication
 * library where the system lets its user open neither an ICMP datagram
 * ("ping") socket nor a raw socket.
 *
 *   kpm-echo ADDRESS TIMEOUT_MS
 *
 * It is installed with CAP_NET_RAW as a file capability, as ping is, so it
 * is written for hostile callers: it takes nothing but a dotted IPv4
 * address and a time-out, reads no environment, no file and no locale,
 * links nothing beyond the C library (whose loader ignores LD_* for a
 * program with file capabilities), opens the raw socket first and gives
 * up every capability before it looks at a single byte from the network.
 *
 * Exit status: 0 the address answered, 1 no answer within the time-out,
 * 2 arguments refused, 3 no raw socket (the program lacks the capability),
 * 4 any other failure. Nothing is printed: the caller reads the status. */
#define _GNU_SOURCE /* clearenv, getrandom, syscall */

#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <netinet/in.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/prctl.h>
#include <sys/random.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

enum {
    kPresent = 0,
    kAbsent = 1,
    kRefused = 2,
    kNoRawSocket = 3,
    kFailed = 4,
};

/* A printer answers in milliseconds; ten seconds is plenty and bounds how
 * long a caller can keep a privileged program around. */
#define MAX_TIMEOUT_MS 10000L
#define ECHO_HEADER_SIZE 8
#define MIN_IP_HEADER_SIZE 20

/* Descriptors 0 to 2 open (on /dev/null where the caller closed them), so
 * that the socket never becomes a standard stream by accident. */
static int StandardStreamsOpen(void) {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) < 0) {
            const int opened = open("/dev/null", O_RDWR);
            if (opened != fd) {
                return 0;
            }
        }
    }
    return 1;
}

/* Gives up every capability for good: the permitted, effective and
 * inheritable sets, the ambient set and the bounding set, and any way to
 * gain privileges again through exec. */
static int DropAllCapabilities(void) {
    struct __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
    struct __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3];
    memset(data, 0, sizeof data);
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) {
        return 0;
    }
    if (syscall(SYS_capset, &header, data) != 0) {
        return 0;
    }
    (void)prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0);
    if (syscall(SYS_capget, &header, data) != 0) {
        return 0;
    }
    for (int i = 0; i < _LINUX_CAPABILITY_U32S_3; ++i) {
        if (data[i].effective != 0 || data[i].permitted != 0 || data[i].inheritable != 0) {
            return 0;
        }
    }
    return 1;
}

/* The time-out: decimal digits only, 1 to MAX_TIMEOUT_MS. */
static long ParseTimeout(const char* text) {
    long value = 0;
    if (*text == '\0' || strlen(text) > 5) {
        return -1;
    }
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') {
            return -1;
        }
        value = value * 10 + (*p - '0');
    }
    return value >= 1 && value <= MAX_TIMEOUT_MS ? value : -1;
}

/* A unicast IPv4 address in dotted decimal ("192.168.0.50"); inet_pton
 * accepts exactly four decimal parts. Broadcast, multicast and the
 * unspecified address are refused: this program asks one host. */
static int ParseAddress(const char* text, struct in_addr* address) {
    if (strlen(text) > 15 || inet_pton(AF_INET, text, address) != 1) {
        return 0;
    }
    const uint32_t host = ntohl(address->s_addr);
    return host != 0 && host != 0xFFFFFFFFu && (host >> 28) != 0xE;
}

static uint16_t Checksum(const unsigned char* data, size_t size) {
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < size; i += 2) {
        sum += (uint32_t)((data[i] << 8) | data[i + 1]);
    }
    if (size % 2 != 0) {
        sum += (uint32_t)(data[size - 1] << 8);
    }
    while ((sum >> 16) != 0) {
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return (uint16_t)~sum;
}

static int64_t NowMs(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (int64_t)t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

static uint16_t U16(const unsigned char* p) {
    return (uint16_t)((p[0] << 8) | p[1]);
}

int main(int argc, char** argv) {
    /* Nothing below reads the environment; emptied all the same, so that no
     * later change can start to. */
    if (clearenv() != 0 || !StandardStreamsOpen()) {
        return kFailed;
    }
    struct in_addr target;
    long timeoutMs;
    if (argc != 3 || !ParseAddress(argv[1], &target) || (timeoutMs = ParseTimeout(argv[2])) < 0) {
        DropAllCapabilities();
        return kRefused;
    }
    const int64_t deadline = NowMs() + timeoutMs;

    const int fd = socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
    const int socketError = errno;
    if (!DropAllCapabilities()) {
        return kFailed;
    }
    if (fd < 0) {
        return socketError == EPERM || socketError == EACCES ? kNoRawSocket : kFailed;
    }

    /* A raw socket sees every ICMP message of the host, the replies to other
     * programs' echoes among them: ours carry this identifier and a random
     * sequence number. */
    uint16_t sequence = 0;
    if (getrandom(&sequence, sizeof sequence, 0) != (ssize_t)sizeof sequence) {
        return kFailed;
    }
    const uint16_t identifier = (uint16_t)getpid();
    unsigned char request[ECHO_HEADER_SIZE] = {
        ICMP_ECHO,
        0,
        0,
        0,
        (unsigned char)(identifier >> 8),
        (unsigned char)identifier,
        (unsigned char)(sequence >> 8),
        (unsigned char)sequence,
    };
    const uint16_t sum = Checksum(request, sizeof request);
    request[2] = (unsigned char)(sum >> 8);
    request[3] = (unsigned char)sum;

    struct sockaddr_in to;
    memset(&to, 0, sizeof to);
    to.sin_family = AF_INET;
    to.sin_addr = target;
    for (;;) {
        const ssize_t n =
            sendto(fd, request, sizeof request, 0, (const struct sockaddr*)&to, sizeof to);
        if (n == (ssize_t)sizeof request) {
            break;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return kAbsent; /* no route, filtered: no reply can come */
    }

    unsigned char reply[1500];
    for (;;) {
        const int64_t left = deadline - NowMs();
        if (left <= 0) {
            return kAbsent;
        }
        struct pollfd p = {fd, POLLIN, 0};
        const int ready = poll(&p, 1, (int)left);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return ready == 0 ? kAbsent : kFailed;
        }
        struct sockaddr_in from;
        socklen_t fromLength = sizeof from;
        const ssize_t got =
            recvfrom(fd, reply, sizeof reply, MSG_DONTWAIT, (struct sockaddr*)&from, &fromLength);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) {
                continue;
            }
            return kFailed;
        }
        if ((size_t)got < MIN_IP_HEADER_SIZE) {
            continue;
        }
        const size_t offset = (size_t)(reply[0] & 0x0F) * 4;
        if (offset < MIN_IP_HEADER_SIZE || (size_t)got < offset + ECHO_HEADER_SIZE) {
            continue;
        }
        const unsigned char* icmp = reply + offset;
        if (icmp[0] == ICMP_ECHOREPLY && icmp[1] == 0 && U16(icmp + 4) == identifier &&
            U16(icmp + 6) == sequence && from.sin_addr.s_addr == target.s_addr) {
            return kPresent;
        }
    }
}
