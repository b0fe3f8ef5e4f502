// The raw-socket capability and the programs that load code the user's
// environment names.
//
// The wizard loads plugins from paths in the user's environment (Qt's
// QT_PLUGIN_PATH, GTK's modules), so it must never hold CAP_NET_RAW: the
// packages give the capability to the small echo program kpm-echo only
// (tools/kpm-echo), which the library runs where it can open no ICMP socket
// itself. Should the wizard or kpbidi be given capabilities all the same (a
// setcap by hand, as older packages did), they give them up at start.
#pragma once

#include <system_error>

namespace platform {

// Whether the kernel started this process in secure-execution mode: with
// file capabilities or a set-user-id or set-group-id bit.
bool StartedWithGainedPrivileges();

// When StartedWithGainedPrivileges(), empties the process's effective,
// permitted, inheritable and ambient capability sets, for good; otherwise
// changes nothing (root started by root keeps what root has). Returns the
// failure to drop them, if any.
std::error_code DropPrivilegesGainedAtStart();

}  // namespace platform
