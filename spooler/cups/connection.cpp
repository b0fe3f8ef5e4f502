#include "spooler/cups/connection.h"

namespace spooler::cups {
namespace {

// The wizard and the library run without a terminal; a request that needs a
// password is answered as refused instead of prompting.
const char* NoPassword(const char*, http_t*, const char*, const char*, void*) {
    return nullptr;
}

}  // namespace

Connection::Connection(std::error_code& error) {
    cupsSetPasswordCB2(NoPassword, nullptr);
    http_ = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 30000,
                         nullptr);
    error = http_ ? std::error_code() : make_error_code(Errc::Unavailable);
}

Connection::~Connection() {
    if (http_) {
        httpClose(http_);
    }
}

Ipp Connection::Send(Ipp request, const char* resource, Errc notFound, std::error_code& error) {
    // cupsDoRequest frees the request whatever happens.
    Ipp response(cupsDoRequest(http_, request.release(), resource));
    error = ErrorFromLastStatus(notFound);
    return response;
}

std::string PrinterUri(std::string_view name) {
    char uri[HTTP_MAX_URI];
    const std::string copy(name);
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                     "/printers/%s", copy.c_str());
    return uri;
}

std::error_code ErrorFromLastStatus(Errc notFound) {
    const ipp_status_t status = cupsLastError();
    if (status <= IPP_STATUS_OK_EVENTS_COMPLETE) {
        return {};
    }
    switch (status) {
        case IPP_STATUS_ERROR_NOT_FOUND:
            return make_error_code(notFound);
        case IPP_STATUS_ERROR_FORBIDDEN:
        case IPP_STATUS_ERROR_NOT_AUTHENTICATED:
        case IPP_STATUS_ERROR_NOT_AUTHORIZED:
        case IPP_STATUS_ERROR_CUPS_AUTHENTICATION_CANCELED:
            return make_error_code(Errc::AccessDenied);
        case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
            return make_error_code(Errc::Unavailable);
        default:
            return make_error_code(Errc::Failed);
    }
}

Ipp NewPrinterRequest(ipp_op_t operation, std::string_view name) {
    Ipp request(ippNewRequest(operation));
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 PrinterUri(name).c_str());
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    return request;
}

}  // namespace spooler::cups
