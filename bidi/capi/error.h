// The library's one exception type and its code space.
#pragma once

#include <cstdint>
#include <exception>
#include <system_error>

namespace KpBidi {

// Codes of the library. Printer status words share this space and pass
// through unchanged, so a code that is none of these is the printer's.
enum ErrorCode : std::int32_t {
    Success = 0,
    InvalidArgument = 1000,
    PrinterNotFound = 1001,
    UnsupportedPort = 1002,
    PrinterNotAvailable = 1003,
    AccessDenied = 1004,
    Timeout = 1005,
    InvalidResponse = 1006,
    OutOfMemory = 1007,
    PlatformError = 1008,
    UsbPortBusy = 1009,
    SystemError = 1010,
    CommunicationError = 1011,
    Unexpected = -1,
};

// Symbolic name of a library code ("InvalidResponse"), or nullptr for a
// code the library does not define (a printer status word).
const char* ErrorCodeName(std::int32_t code) noexcept;

class Error : public std::exception {
public:
    explicit Error(std::int32_t code) noexcept : code(code), message(nullptr) {}
    // `message` must be a static text: it is never copied or freed.
    Error(std::int32_t code, const char* message) noexcept : code(code), message(message) {}

    const char* what() const noexcept override { return "KpBidi error"; }

    std::int32_t code;
    const char* message;
};

// The one rule by which an operating-system or spooler failure becomes a
// library code: access refused -> AccessDenied, the spooler does not know the
// printer -> PrinterNotFound, anything else -> PlatformError.
std::int32_t CodeFromSystemError(const std::error_code& error) noexcept;

// Raises Error with the code CodeFromSystemError gives.
[[noreturn]] void ThrowSystemError(const std::error_code& error);

// ThrowSystemError when `error` holds a failure; for the error_code results
// of the spooler and platform layers.
inline void ThrowIfSystemError(const std::error_code& error) {
    if (error) {
        ThrowSystemError(error);
    }
}

}  // namespace KpBidi
