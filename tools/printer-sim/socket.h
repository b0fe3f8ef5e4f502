// Owned file descriptors and the few socket operations the simulator needs:
// listening and connecting on IPv4 addresses, and reads and writes that give
// up when the simulator stops or the peer stays idle too long.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kpm::sim {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) noexcept : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    ~UniqueFd();

    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const noexcept { return fd_; }
    explicit operator bool() const noexcept { return fd_ >= 0; }
    int release() noexcept;
    void reset() noexcept;

private:
    int fd_ = -1;
};

// An event that wakes every thread polling it once it is raised, and stays
// raised: how the simulator tells its connections to stop.
class StopSignal {
public:
    StopSignal();
    void Raise() noexcept;
    bool raised() const noexcept;
    int fd() const noexcept { return fd_.get(); }

private:
    UniqueFd fd_;
};

// Thrown by the helpers below when the StopSignal was raised while waiting.
struct Stopped {};

// A listening TCP socket on address:port (SO_REUSEADDR, so a restart does not
// wait for TIME_WAIT). Throws std::system_error; errc::address_in_use when
// someone else holds the port.
UniqueFd ListenTcp(const std::string& address, std::uint16_t port, int backlog = 64);

// A connected TCP socket, or std::system_error.
UniqueFd ConnectTcp(const std::string& address, std::uint16_t port);

// Waits until fd is readable (or has hung up). false: `timeout` passed.
// Throws Stopped when the signal is raised first.
bool WaitReadable(int fd, const StopSignal& stop, std::chrono::milliseconds timeout);

// Writes every byte, waiting as long as the peer keeps taking data. Throws
// Stopped, or std::system_error when the peer went away (EPIPE, ECONNRESET)
// or the socket stayed full for `stall`.
void WriteAll(int fd, const unsigned char* data, std::size_t size, const StopSignal& stop,
              std::chrono::milliseconds stall = std::chrono::seconds(30));

}  // namespace kpm::sim
