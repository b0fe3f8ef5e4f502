// A network printer known only by its host, with no print queue behind it:
// for tools that talk to a printer directly (kpbidi --host) and for tests.
// Like every printer it makes a fresh connector per operation.
#pragma once

#include <memory>
#include <string>

#include "bidi/communications/linux/network_connector.h"
#include "bidi/protocol/printer.h"

namespace KpBidi::communications::linux {

class HostPrinter : public Printer {
public:
    explicit HostPrinter(std::string host) : host_(std::move(host)) {}

    std::string GetName() override { return host_; }

    std::unique_ptr<Connector> CreateConnector() override {
        return std::make_unique<NetworkConnector>(host_);
    }

private:
    std::string host_;
};

}  // namespace KpBidi::communications::linux
