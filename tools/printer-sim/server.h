// Listening sockets and one thread per accepted connection.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tools/printer-sim/socket.h"

namespace kpm::sim {

class TcpServer {
public:
    using Handler = std::function<void(UniqueFd)>;

    // Connections beyond this many at once are closed at once.
    static constexpr std::size_t kMaxConnections = 128;

    explicit TcpServer(StopSignal& stop) : stop_(stop) {}
    ~TcpServer();

    TcpServer(const TcpServer&) = delete;
    TcpServer& operator=(const TcpServer&) = delete;

    // Binds and listens at once (so connections queue from here on); the
    // handler runs on a thread of its own per connection once Start() ran.
    // Throws std::system_error.
    void Listen(const std::string& address, std::uint16_t port, Handler handler);
    void Start();
    // Raises the stop signal and waits for every thread. Idempotent.
    void Stop();

private:
    struct Listener {
        UniqueFd fd;
        Handler handler;
    };
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };

    void AcceptLoop();
    void Reap(bool all);

    StopSignal& stop_;
    std::vector<Listener> listeners_;
    std::list<Worker> workers_;  // touched by the accept thread only, then by Stop
    std::thread acceptor_;
};

}  // namespace kpm::sim
