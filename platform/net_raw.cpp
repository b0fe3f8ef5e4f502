#include "platform/net_raw.h"

#include <linux/capability.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

bool PingSocketAllowed() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

std::error_code DropNetRawCapability() {
    // The capability calls without libcap: version 3 takes two 32-bit words
    // per set, and CAP_NET_RAW (13) is in the first.
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capget, &header, data) != 0) {
        return {errno, std::generic_category()};
    }
    const auto bit = static_cast<__u32>(1u << CAP_NET_RAW);
    if (((data[0].effective | data[0].permitted | data[0].inheritable) & bit) == 0) {
        return {};
    }
    data[0].effective &= ~bit;
    data[0].permitted &= ~bit;
    data[0].inheritable &= ~bit;
    if (::syscall(SYS_capset, &header, data) != 0) {
        return {errno, std::generic_category()};
    }
    return {};
}

std::error_code DropNetRawCapabilityUnlessNeeded() {
    return PingSocketAllowed() ? DropNetRawCapability() : std::error_code{};
}

}  // namespace platform
