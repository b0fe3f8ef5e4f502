#include "bidi/communications/linux/deadline_printer.h"

#include "bidi/capi/error.h"
#include "bidi/communications/linux/network_connector.h"

namespace KpBidi::communications::linux {
namespace {

// An address that answered the search already needs no echo first.
class AnsweredConnector : public NetworkConnector {
public:
    using NetworkConnector::NetworkConnector;
    bool IsAvailable() override { return true; }
};

}  // namespace

std::unique_ptr<Connector> DeadlinePrinter::CreateConnector() {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline_ - Clock::now());
    if (left.count() <= 0) {
        throw Error(Timeout);
    }
    // Each operation makes its connector first and then starts its exchange
    // with the printer's limit: both get what is left now.
    SetExchangeTimeLimit(left);
    return std::make_unique<AnsweredConnector>(address_, left);
}

}  // namespace KpBidi::communications::linux
