#include "spooler/errors.h"

#include <string>

namespace spooler {
namespace {

class SpoolerCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "spooler"; }

    std::string message(int value) const override {
        switch (static_cast<Errc>(value)) {
            case Errc::NoSuchPrinter:
                return "no such printer";
            case Errc::AccessDenied:
                return "access to the printer refused";
            case Errc::Unavailable:
                return "print system unavailable";
            case Errc::Failed:
                return "print system request failed";
            case Errc::NoSuchValue:
                return "no such driver data value";
            case Errc::NoSuchJob:
                return "no such job";
        }
        return "unknown spooler error";
    }

    // Lets callers test `code == std::errc::permission_denied` whichever
    // layer reported the refusal.
    std::error_condition default_error_condition(int value) const noexcept override {
        if (static_cast<Errc>(value) == Errc::AccessDenied) {
            return std::errc::permission_denied;
        }
        return {value, *this};
    }
};

}  // namespace

const std::error_category& Category() noexcept {
    static const SpoolerCategory category;
    return category;
}

}  // namespace spooler
