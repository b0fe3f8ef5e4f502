#include "spooler/cups/ppd.h"

#include <unistd.h>

// PPD files are how a CUPS queue describes its driver; libcups marks the
// interface deprecated, but it is the only way to read a queue's driver
// keywords, so the warning is silenced here and nowhere else.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

namespace spooler::cups {
namespace {

// The temporary copy of a queue's PPD; removed on destruction.
class PpdCopy {
public:
    PpdCopy() { path_[0] = '\0'; }
    ~PpdCopy() {
        if (path_[0] != '\0') {
            unlink(path_);
        }
    }
    PpdCopy(const PpdCopy&) = delete;
    PpdCopy& operator=(const PpdCopy&) = delete;

    char* buffer() noexcept { return path_; }
    std::size_t size() const noexcept { return sizeof path_; }

private:
    char path_[1024];
};

struct PpdCloser {
    void operator()(ppd_file_t* ppd) const noexcept { ppdClose(ppd); }
};

}  // namespace

std::optional<std::string> ReadPpdKeyword(Connection& connection, const std::string& name,
                                          std::string_view keyword, std::error_code& error) {
    error.clear();
    PpdCopy copy;
    time_t modified = 0;
    const http_status_t status =
        cupsGetPPD3(connection.get(), name.c_str(), &modified, copy.buffer(), copy.size());
    if (status == HTTP_STATUS_NOT_FOUND) {
        return std::nullopt;  // a queue without a driver (raw, class, driverless)
    }
    if (status != HTTP_STATUS_OK) {
        error = ErrorFromLastStatus(Errc::NoSuchPrinter);
        if (!error) {
            error = make_error_code(status == HTTP_STATUS_FORBIDDEN ||
                                            status == HTTP_STATUS_UNAUTHORIZED
                                        ? Errc::AccessDenied
                                        : Errc::Failed);
        }
        return std::nullopt;
    }
    std::unique_ptr<ppd_file_t, PpdCloser> ppd(ppdOpenFile(copy.buffer()));
    if (!ppd) {
        error = make_error_code(Errc::Failed);
        return std::nullopt;
    }
    const std::string key(keyword);
    ppd_attr_t* attribute = ppdFindAttr(ppd.get(), key.c_str(), nullptr);
    if (!attribute) {
        return std::nullopt;
    }
    return std::string(attribute->value ? attribute->value : "");
}

}  // namespace spooler::cups

#pragma GCC diagnostic pop
