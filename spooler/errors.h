// How the spooler layer reports failures: std::error_code values of its own
// category, so callers can tell "no such printer" and "access refused" apart
// from everything else without knowing which print system is underneath.
#pragma once

#include <system_error>
#include <type_traits>

namespace spooler {

enum class Errc {
    NoSuchPrinter = 1,  // the print system does not know the name
    AccessDenied,       // the print system refused the request
    Unavailable,        // the print system cannot be reached
    Failed,             // any other refusal
    NoSuchValue,        // the printer's driver has no such data value
    NoSuchJob,          // the print system does not know the job
};

const std::error_category& Category() noexcept;

inline std::error_code make_error_code(Errc e) noexcept {
    return {static_cast<int>(e), Category()};
}

}  // namespace spooler

template <>
struct std::is_error_code_enum<spooler::Errc> : std::true_type {};
