#include "tools/printer-sim/replace_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace kpm::sim {

void ReplaceFile(const std::filesystem::path& path, std::string_view text) {
    const std::string pattern = path.string() + ".tmp-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    const auto fail = [&](int error) {
        throw std::runtime_error("cannot write " + path.string() + ": " + std::strerror(error));
    };
    if (fd < 0) {
        fail(errno);
    }
    const auto failAndRemove = [&](int error) {
        ::close(fd);
        ::unlink(name.data());
        fail(error);
    };
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            failAndRemove(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd, 0666 & ~mask) != 0 || ::fsync(fd) != 0) {
        failAndRemove(errno);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(name.data());
        fail(error);
    }
    if (::rename(name.data(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(name.data());
        fail(error);
    }
}

}  // namespace kpm::sim
