// A network printer at one IPv4 address whose every operation ends by one
// fixed point in time: for asking many printers at once within a bound,
// where a peer that accepts a connection and then dawdles must not stretch
// the whole search. The ordinary network connection and exchange serve it,
// their connect and exchange limits cut to the time left.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "bidi/protocol/printer.h"

namespace KpBidi::communications::linux {

class DeadlinePrinter : public Printer {
public:
    using Clock = std::chrono::steady_clock;

    // `address`: dotted IPv4 text. Nothing is opened here.
    DeadlinePrinter(std::string address, Clock::time_point deadline)
        : address_(std::move(address)), deadline_(deadline) {}

    std::string GetName() override { return address_; }
    // A connector whose connect and whose operation's whole exchange end at
    // the deadline: connecting -> Error 1005, a read -> TimeoutException;
    // past the deadline already -> Error 1005. It counts as available
    // without an echo: the caller already heard from it.
    std::unique_ptr<Connector> CreateConnector() override;

private:
    std::string address_;
    Clock::time_point deadline_;
};

}  // namespace KpBidi::communications::linux
