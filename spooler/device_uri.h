// Reading device URIs.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace spooler {

// The host of a socket: URI ("socket://host[:port][/][?options]"),
// percent-decoded; an IPv6 address loses its brackets. Any other URI, or
// one without a host: Errc::Failed.
std::string HostOfSocketUri(std::string_view uri, std::error_code& error);

// `text` with its %XX escapes decoded; nullopt for a malformed escape.
std::optional<std::string> PercentDecoded(std::string_view text);

}  // namespace spooler
