// What another local user gets from the sessions `make run` opens: one
// connection attempt, its outcome as the exit status (0 let in, 1 refused,
// 2 could not try).
//   session_probe x11 DISPLAY_NUMBER [XAUTHORITY_FILE]
//       the X connection set-up, with the first MIT-MAGIC-COOKIE-1 of the
//       file when one is given; 0 when the server accepts it
//   session_probe rfb ADDRESS PORT
//       the VNC handshake; 0 when the server offers access without a
//       password (security type None)
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

bool SendAll(int fd, const Bytes& bytes) {
    return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(bytes.size());
}

bool ReadExactly(int fd, unsigned char* out, std::size_t n) {
    std::size_t got = 0;
    while (got < n) {
        const ssize_t r = ::recv(fd, out + got, n - got, 0);
        if (r <= 0) {
            return false;
        }
        got += static_cast<std::size_t>(r);
    }
    return true;
}

// The first MIT-MAGIC-COOKIE-1 of an X authority file: entries of a 16-bit
// family and four length-prefixed fields (address, number, name, data).
Bytes CookieFrom(const char* path) {
    std::ifstream in(path, std::ios::binary);
    const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t at = 0;
    const auto field = [&](Bytes& out) {
        if (at + 2 > file.size()) {
            return false;
        }
        const std::size_t n = (std::size_t{file[at]} << 8) | file[at + 1];
        at += 2;
        if (at + n > file.size()) {
            return false;
        }
        out.assign(file.begin() + static_cast<long>(at), file.begin() + static_cast<long>(at + n));
        at += n;
        return true;
    };
    for (;;) {
        at += 2;  // family
        Bytes address, number, name, data;
        if (!field(address) || !field(number) || !field(name) || !field(data)) {
            return {};
        }
        if (std::string(name.begin(), name.end()) == "MIT-MAGIC-COOKIE-1") {
            return data;
        }
    }
}

int X11(const std::string& display, const char* authority) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::snprintf(a.sun_path, sizeof a.sun_path, "/tmp/.X11-unix/X%s", display.c_str());
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        std::perror("connect");
        return 2;
    }
    const std::string name = authority != nullptr ? "MIT-MAGIC-COOKIE-1" : "";
    const Bytes cookie = authority != nullptr ? CookieFrom(authority) : Bytes{};
    // Little-endian set-up: 'l', pad, protocol 11.0, name and data lengths,
    // pad, then name and data each padded to 4 bytes.
    Bytes setup{'l',
                0,
                11,
                0,
                0,
                0,
                static_cast<unsigned char>(name.size()),
                0,
                static_cast<unsigned char>(cookie.size()),
                0,
                0,
                0};
    setup.insert(setup.end(), name.begin(), name.end());
    setup.resize((setup.size() + 3) / 4 * 4, 0);
    setup.insert(setup.end(), cookie.begin(), cookie.end());
    setup.resize((setup.size() + 3) / 4 * 4, 0);
    unsigned char status = 0xFF;
    if (!SendAll(fd, setup) || !ReadExactly(fd, &status, 1)) {
        return 2;
    }
    ::close(fd);
    return status == 1 ? 0 : 1;  // 1 Success; 0 Failed, 2 Authenticate
}

int Rfb(const std::string& address, int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, address.c_str(), &a.sin_addr);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        std::perror("connect");
        return 2;
    }
    unsigned char version[12];
    if (!ReadExactly(fd, version, sizeof version) ||
        !SendAll(fd, Bytes(version, version + sizeof version))) {
        return 2;
    }
    unsigned char count = 0;
    if (!ReadExactly(fd, &count, 1) || count == 0) {
        return 2;
    }
    Bytes types(count);
    if (!ReadExactly(fd, types.data(), count)) {
        return 2;
    }
    ::close(fd);
    for (const unsigned char t : types) {
        if (t == 1) {
            return 0;
        }
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "x11") == 0) {
        return X11(argv[2], argc >= 4 ? argv[3] : nullptr);
    }
    if (argc == 4 && std::strcmp(argv[1], "rfb") == 0) {
        return Rfb(argv[2], std::atoi(argv[3]));
    }
    std::fprintf(stderr, "usage: session_probe x11 N [XAUTHORITY] | rfb ADDRESS PORT\n");
    return 2;
}
