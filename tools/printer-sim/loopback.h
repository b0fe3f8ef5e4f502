// Random addresses in 127.0.0.0/8, so that every test (and every daemon a
// test starts) gets loopback ports of its own while other tests run on the
// same machine.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <system_error>

namespace kpm::sim {

// 127.a.b.c with random a, b, c; never 127.0.0.1 or 127.0.1.1 (the host's own
// names live there) and never a last octet of 0 or 255.
std::string RandomLoopbackAddress();

// Whether each TCP and UDP port can be bound on the address right now.
bool LoopbackPortsFree(const std::string& address, std::initializer_list<std::uint16_t> tcpPorts,
                       std::initializer_list<std::uint16_t> udpPorts = {});

// A random loopback address whose ports are all free right now. For daemons
// started as separate processes, which bind the ports themselves a moment
// later; prefer WithFreeLoopbackAddress when the caller binds.
std::string PickFreeLoopbackAddress(std::initializer_list<std::uint16_t> tcpPorts,
                                    std::initializer_list<std::uint16_t> udpPorts = {},
                                    int attempts = 64);

// True for the error a bind reports when the address and port are taken.
bool IsAddressInUse(const std::system_error& error) noexcept;

// Calls start(address) with fresh random addresses until it returns without
// throwing an address-in-use std::system_error, and returns its result.
// Other exceptions pass through; after `attempts` the last one does.
template <class Start>
auto WithFreeLoopbackAddress(Start&& start, int attempts = 64) {
    for (int i = 1;; ++i) {
        try {
            return start(RandomLoopbackAddress());
        } catch (const std::system_error& e) {
            if (!IsAddressInUse(e) || i >= attempts) {
                throw;
            }
        }
    }
}

}  // namespace kpm::sim
