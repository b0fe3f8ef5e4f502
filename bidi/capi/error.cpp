#include "bidi/capi/error.h"

#include "bidi/capi/kpbidi.h"
#include "spooler/errors.h"

namespace KpBidi {

const char* ErrorCodeName(std::int32_t code) noexcept {
    switch (code) {
        case Success:
            return "Success";
        case InvalidArgument:
            return "InvalidArgument";
        case PrinterNotFound:
            return "PrinterNotFound";
        case UnsupportedPort:
            return "UnsupportedPort";
        case PrinterNotAvailable:
            return "PrinterNotAvailable";
        case AccessDenied:
            return "AccessDenied";
        case Timeout:
            return "Timeout";
        case InvalidResponse:
            return "InvalidResponse";
        case OutOfMemory:
            return "OutOfMemory";
        case PlatformError:
            return "PlatformError";
        case UsbPortBusy:
            return "UsbPortBusy";
        case SystemError:
            return "SystemError";
        case CommunicationError:
            return "CommunicationError";
        case Unexpected:
            return "Unexpected";
        default:
            return nullptr;
    }
}

std::int32_t CodeFromSystemError(const std::error_code& error) noexcept {
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted) {
        return AccessDenied;
    }
    if (error == spooler::Errc::NoSuchPrinter) {
        return PrinterNotFound;
    }
    return PlatformError;
}

void ThrowSystemError(const std::error_code& error) {
    throw Error(CodeFromSystemError(error));
}

}  // namespace KpBidi

extern "C" const char* kpbidi_error_name(int32_t code) {
    return KpBidi::ErrorCodeName(code);
}
