// A private desktop session bus (a dbus-daemon of its own), on which
// at-spi's launcher starts the accessibility bus for programs under test, and
// what they show a screen reader there: what a sighted tester reads off the
// screen, read back as text.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kpm::test {

class AccessibilityBus {
public:
    // Starts the session bus; on failure error() says why and Names() is
    // empty. The accessibility bus starts when the first program asks.
    AccessibilityBus();
    ~AccessibilityBus();
    AccessibilityBus(const AccessibilityBus&) = delete;
    AccessibilityBus& operator=(const AccessibilityBus&) = delete;

    const std::string& error() const { return error_; }
    pid_t pid() const { return pid_; }

    // The environment entries that make a Qt program publish itself there.
    std::vector<std::string> Environment() const;

    // The accessible names of every object of every program on the bus.
    // Needs a QCoreApplication.
    std::vector<std::string> Names() const;

    // Stops the session bus, and with it the accessibility bus and its
    // registry (also done by the destructor).
    void Stop();

private:
    std::filesystem::path dir_;
    std::string address_;
    std::string error_;
    pid_t pid_ = -1;
    mutable int connections_ = 0;  // each walk on a connection of its own
};

}  // namespace kpm::test
