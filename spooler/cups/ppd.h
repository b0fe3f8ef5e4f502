// The queue's PPD, the one place where its driver's keywords are read.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "spooler/cups/connection.h"

namespace spooler::cups {

// The value of the main keyword `keyword` in the PPD of printer `name`;
// nullopt when the queue has no PPD or the PPD lacks the keyword.
std::optional<std::string> ReadPpdKeyword(Connection& connection, const std::string& name,
                                          std::string_view keyword, std::error_code& error);

}  // namespace spooler::cups
