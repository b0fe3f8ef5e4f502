// One connection to the CUPS server and the IPP requests made over it.
// Everything of libcups lives in this folder.
#pragma once

#include <cups/cups.h>

#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include "spooler/errors.h"

namespace spooler::cups {

struct IppDeleter {
    void operator()(ipp_t* ipp) const noexcept { ippDelete(ipp); }
};
using Ipp = std::unique_ptr<ipp_t, IppDeleter>;

// Owns an http_t to the server that CUPS_SERVER or the client
// configuration names (a Unix socket or a host). libcups never prompts for
// a password through it: a request that needs one is refused.
class Connection {
public:
    // Connects; on failure the connection is closed and `error` is
    // Errc::Unavailable.
    explicit Connection(std::error_code& error);
    ~Connection();

    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool IsOpen() const noexcept { return http_ != nullptr; }
    http_t* get() const noexcept { return http_; }

    // Sends `request` (consumed) and returns the response. A refusal sets
    // `error` (ErrorFromStatus with `notFound`) and returns the response, if
    // any, all the same.
    Ipp Send(Ipp request, const char* resource, Errc notFound, std::error_code& error);

private:
    http_t* http_ = nullptr;
};

// "ipp://localhost/printers/NAME", with NAME percent-encoded.
std::string PrinterUri(std::string_view name);

// The library's last IPP status after a request, as an error: success is an
// empty code; "not found" is `notFound`; refusals of access AccessDenied; no
// server Unavailable; anything else Failed.
std::error_code ErrorFromLastStatus(Errc notFound);

// A request of `operation` addressed to printer `name`, from the current
// user.
Ipp NewPrinterRequest(ipp_op_t operation, std::string_view name);

}  // namespace spooler::cups
