// A small IPv4 network of namespaces, so that test traffic (broadcasts
// above all) never leaves the machine: a "client" namespace with bridge br0
// (10.A.B.1/24) and hosts on it, a namespace each. Needs root; everything
// started is stopped, and every namespace removed, on destruction.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/command.h"

namespace kpm::test {

class LanTestbed {
public:
    LanTestbed();
    ~LanTestbed();
    LanTestbed(const LanTestbed&) = delete;
    LanTestbed& operator=(const LanTestbed&) = delete;

    bool ok() const { return ok_; }
    // The namespace on the bridge's own side.
    const std::string& client() const { return client_; }
    const std::string& clientAddress() const { return clientAddress_; }

    // A new host on the bridge: its address (10.A.B.n); its namespace is
    // NamespaceOf(address).
    std::string AddHost();
    std::string NamespaceOf(const std::string& address) const;

    // Runs `args` inside namespace `ns` to completion (args[0] looked up in
    // PATH there); `env` are NAME=VALUE settings added to ours.
    CommandResult Run(const std::string& ns, std::vector<std::string> args,
                      const std::vector<std::string>& env = {});
    // Starts `args` inside `ns` in the background, its output to `log`;
    // stopped (TERM, then KILL) when the testbed goes.
    pid_t Start(const std::string& ns, std::vector<std::string> args, const std::string& log,
                const std::vector<std::string>& env = {});

private:
    bool Ip(const std::vector<std::string>& args);

    bool ok_ = false;
    std::string ip_;
    std::string prefix_;  // "10.A.B."
    std::string client_;
    std::string clientAddress_;
    std::vector<std::string> namespaces_;
    std::vector<std::string> hosts_;  // addresses, in NamespaceOf's order
    std::vector<pid_t> started_;
};

}  // namespace kpm::test
