#include "platform/net_raw.h"

#include <linux/capability.h>
#include <sys/auxv.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

bool StartedWithGainedPrivileges() {
    return ::getauxval(AT_SECURE) != 0;
}

std::error_code DropPrivilegesGainedAtStart() {
    if (!StartedWithGainedPrivileges()) {
        return {};
    }
    // The capability calls without libcap: all sets empty.
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capset, &header, data) != 0) {
        return {errno, std::generic_category()};
    }
    if (::prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0) != 0 && errno != EINVAL) {
        return {errno, std::generic_category()};
    }
    return {};
}

}  // namespace platform
