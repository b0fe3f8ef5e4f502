// A client for the printer protocol written from the byte layouts alone,
// sharing no code with the communication library or the simulator, so that
// both cannot agree on a misreading unnoticed.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace kpm::wire_test {

using Bytes = std::vector<unsigned char>;

inline void Be32(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<unsigned char>(v >> 24));
    b.push_back(static_cast<unsigned char>(v >> 16));
    b.push_back(static_cast<unsigned char>(v >> 8));
    b.push_back(static_cast<unsigned char>(v));
}

inline std::uint32_t Be32At(const Bytes& b, std::size_t at) {
    return (std::uint32_t{b.at(at)} << 24) | (std::uint32_t{b.at(at + 1)} << 16) |
           (std::uint32_t{b.at(at + 2)} << 8) | std::uint32_t{b.at(at + 3)};
}

struct Cmd {
    std::uint16_t code = 0;
    Bytes data;
};

// 2432 zeros; 1B 7C 31 30 40 0C 43 00, id, 20 zeros; commands (23 23 code
// length data); 1B 7C 31 30 24 00 00 00, id, 4 zeros; padding to the next
// 2048 boundary (a whole block when aligned) and 2048 more.
inline Bytes RequestPacket(std::uint32_t id, const std::vector<Cmd>& commands) {
    Bytes b(2432, 0);
    for (unsigned char c : {0x1B, 0x7C, 0x31, 0x30, 0x40, 0x0C, 0x43, 0x00}) {
        b.push_back(c);
    }
    Be32(b, id);
    b.resize(b.size() + 20, 0);
    for (const Cmd& c : commands) {
        b.push_back(0x23);
        b.push_back(0x23);
        b.push_back(static_cast<unsigned char>(c.code >> 8));
        b.push_back(static_cast<unsigned char>(c.code));
        Be32(b, static_cast<std::uint32_t>(c.data.size()));
        b.insert(b.end(), c.data.begin(), c.data.end());
    }
    for (unsigned char c : {0x1B, 0x7C, 0x31, 0x30, 0x24, 0x00, 0x00, 0x00}) {
        b.push_back(c);
    }
    Be32(b, id);
    b.resize(b.size() + 4, 0);
    b.resize(b.size() + (2048 - b.size() % 2048) + 2048, 0);
    return b;
}

inline Bytes Envelope(const Bytes& payload) {
    Bytes b{0x40, 0x40, 0x00, 0x00};
    Be32(b, static_cast<std::uint32_t>(payload.size()));
    b.insert(b.end(), payload.begin(), payload.end());
    return b;
}

// A connected TCP socket to address:port.
class Connection {
public:
    Connection(const std::string& address, std::uint16_t port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_port = htons(port);
        ::inet_pton(AF_INET, address.c_str(), &sa.sin_addr);
        if (fd_ < 0 || ::connect(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
            Close();
            throw std::runtime_error("cannot connect to " + address + ":" + std::to_string(port));
        }
    }
    ~Connection() { Close(); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    int fd() const { return fd_; }

    void Send(const Bytes& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (n <= 0) {
                throw std::runtime_error("send failed");
            }
            done += static_cast<std::size_t>(n);
        }
    }

    void ShutdownWrite() { ::shutdown(fd_, SHUT_WR); }

    // Everything until the peer closes; `closed` false when `timeout` passed
    // first (what arrived until then is returned).
    Bytes ReadAll(std::chrono::milliseconds timeout, bool* closed = nullptr) {
        Bytes all;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        unsigned char buffer[65536];
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{fd_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
                if (closed != nullptr) {
                    *closed = false;
                }
                return all;
            }
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0) {
                if (closed != nullptr) {
                    *closed = true;
                }
                return all;
            }
            all.insert(all.end(), buffer, buffer + n);
        }
    }

private:
    void Close() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    int fd_ = -1;
};

struct ReplyPacket {
    std::uint8_t kind = 0;
    std::uint8_t subkind = 0;
    std::uint32_t id = 0;
    std::vector<Cmd> commands;
    std::uint32_t footerId = 0;
    std::size_t size = 0;  // bytes including padding
};

// Strict decoding of one packet as the printer writes it, starting exactly at
// `at`: 2432 zeros, the header, commands back to back, the footer, and the
// padding rule. Throws std::runtime_error naming the first deviation.
inline ReplyPacket DecodeStrict(const Bytes& b, std::size_t at) {
    auto need = [&](std::size_t n) {
        if (at + n > b.size()) {
            throw std::runtime_error("packet ends early");
        }
    };
    const std::size_t start = at;
    need(2432 + 32);
    for (std::size_t i = 0; i < 2432; ++i) {
        if (b[at + i] != 0) {
            throw std::runtime_error("leading zeros broken");
        }
    }
    at += 2432;
    const unsigned char marker[5] = {0x1B, 0x7C, 0x31, 0x30, 0x40};
    for (int i = 0; i < 5; ++i) {
        if (b[at + i] != marker[i]) {
            throw std::runtime_error("header marker broken");
        }
    }
    ReplyPacket p;
    p.kind = b[at + 5];
    p.subkind = b[at + 6];
    p.id = Be32At(b, at + 8);
    for (std::size_t i = 12; i < 32; ++i) {
        if (b[at + i] != 0) {
            throw std::runtime_error("header tail not zero");
        }
    }
    at += 32;
    while (at < b.size() && b[at] == 0x23) {
        need(8);
        if (b[at + 1] != 0x23) {
            throw std::runtime_error("command tag broken");
        }
        Cmd c;
        c.code = static_cast<std::uint16_t>((b[at + 2] << 8) | b[at + 3]);
        const std::uint32_t n = Be32At(b, at + 4);
        need(8 + std::size_t{n});
        c.data.assign(b.begin() + static_cast<long>(at + 8),
                      b.begin() + static_cast<long>(at + 8 + n));
        p.commands.push_back(std::move(c));
        at += 8 + n;
    }
    need(16);
    const unsigned char footer[8] = {0x1B, 0x7C, 0x31, 0x30, 0x24, 0x00, 0x00, 0x00};
    for (int i = 0; i < 8; ++i) {
        if (i != 5 && b[at + i] != footer[i]) {
            throw std::runtime_error("footer broken");
        }
    }
    p.footerId = Be32At(b, at + 8);
    at += 16;
    const std::size_t toFooter = at - start;
    const std::size_t padding = 2048 - toFooter % 2048 + 2048;
    need(padding);
    for (std::size_t i = 0; i < padding; ++i) {
        if (b[at + i] != 0) {
            throw std::runtime_error("padding not zero");
        }
    }
    p.size = toFooter + padding;
    return p;
}

// Every envelope of a reply, each decoded strictly into its packets.
inline std::vector<std::vector<ReplyPacket>> DecodeEnvelopes(const Bytes& b) {
    std::vector<std::vector<ReplyPacket>> envelopes;
    std::size_t at = 0;
    while (at < b.size()) {
        if (at + 8 > b.size() || b[at] != 0x40 || b[at + 1] != 0x40 || b[at + 2] != 0 ||
            b[at + 3] != 0) {
            throw std::runtime_error("envelope header broken at " + std::to_string(at));
        }
        const std::uint32_t m = Be32At(b, at + 4);
        at += 8;
        if (at + m > b.size()) {
            throw std::runtime_error("envelope longer than the reply");
        }
        const Bytes payload(b.begin() + static_cast<long>(at),
                            b.begin() + static_cast<long>(at + m));
        std::vector<ReplyPacket> packets;
        std::size_t pos = 0;
        while (pos < payload.size()) {
            packets.push_back(DecodeStrict(payload, pos));
            pos += packets.back().size;
        }
        envelopes.push_back(std::move(packets));
        at += m;
    }
    return envelopes;
}

// One request over a fresh connection; the whole reply.
inline Bytes Exchange(const std::string& address, std::uint32_t id,
                      const std::vector<Cmd>& commands,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    Connection c(address, 48000);
    c.Send(Envelope(RequestPacket(id, commands)));
    return c.ReadAll(timeout);
}

// The reply commands of a well-formed single-envelope, single-packet reply.
inline std::vector<Cmd> Ask(const std::string& address, const std::vector<Cmd>& commands,
                            std::uint32_t id = 0x5EED0001) {
    const auto envelopes = DecodeEnvelopes(Exchange(address, id, commands));
    if (envelopes.size() != 1 || envelopes[0].size() != 1) {
        throw std::runtime_error("expected one envelope with one packet");
    }
    if (envelopes[0][0].id != id || envelopes[0][0].footerId != id) {
        throw std::runtime_error("reply id differs from the request's");
    }
    return envelopes[0][0].commands;
}

// Request values: command 22's eight zero bytes, and helpers for the rest.
inline Cmd C22() {
    return {22, Bytes(8, 0)};
}
inline Cmd C(std::uint16_t code, Bytes data = Bytes(8, 0)) {
    return {code, std::move(data)};
}

inline std::int32_t StatusOf(const Cmd& reply) {
    return static_cast<std::int32_t>(Be32At(reply.data, 0));
}

}  // namespace kpm::wire_test
