#include "tools/printer-sim/server.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

namespace kpm::sim {

TcpServer::~TcpServer() {
    Stop();
}

void TcpServer::Listen(const std::string& address, std::uint16_t port, Handler handler) {
    listeners_.push_back({ListenTcp(address, port), std::move(handler)});
}

void TcpServer::Start() {
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

void TcpServer::Stop() {
    // A server that never started has nobody to stop; its listeners just
    // close (and the shared signal stays down for the next attempt).
    if (acceptor_.joinable()) {
        stop_.Raise();
        acceptor_.join();
    }
    Reap(true);
    listeners_.clear();
}

void TcpServer::AcceptLoop() {
    std::vector<pollfd> fds;
    for (const Listener& l : listeners_) {
        fds.push_back({l.fd.get(), POLLIN, 0});
    }
    fds.push_back({stop_.fd(), POLLIN, 0});
    for (;;) {
        // Finished connection threads are joined at least once a second.
        const int n = ::poll(fds.data(), fds.size(), 1000);
        Reap(false);
        if (n < 0 && errno != EINTR) {
            return;
        }
        if (fds.back().revents != 0) {
            return;
        }
        for (std::size_t i = 0; i + 1 < fds.size(); ++i) {
            if (fds[i].revents == 0) {
                continue;
            }
            UniqueFd connection(::accept4(fds[i].fd, nullptr, nullptr, SOCK_CLOEXEC));
            if (!connection) {
                continue;  // the peer gave up already, or out of descriptors
            }
            if (workers_.size() >= kMaxConnections) {
                continue;  // closed by the destructor: too many at once
            }
            auto done = std::make_shared<std::atomic<bool>>(false);
            Handler& handler = listeners_[i].handler;
            try {
                std::thread thread([&handler, done, fd = std::move(connection)]() mutable {
                    try {
                        handler(std::move(fd));
                    } catch (...) {
                        // One connection's failure is that connection's alone.
                    }
                    done->store(true);
                });
                workers_.push_back({std::move(thread), std::move(done)});
            } catch (const std::system_error&) {
                // No thread to be had: the connection is refused by closing.
            }
        }
    }
}

void TcpServer::Reap(bool all) {
    for (auto it = workers_.begin(); it != workers_.end();) {
        if (all || it->done->load()) {
            it->thread.join();
            it = workers_.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace kpm::sim
