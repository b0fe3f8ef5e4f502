#include "access/pattern_job.h"

#include "resources/patterns/patterns.h"
#include "spooler/spooler.h"

namespace kpm::access {
namespace {

constexpr std::uint16_t kOk = 0;
constexpr std::uint16_t kNoSuchPattern = 1000;  // the library's InvalidArgument
constexpr std::uint16_t kCannotOpen = 1001;     // PrinterNotFound
constexpr std::uint16_t kOtherFailure = 1008;   // PlatformError

}  // namespace

std::uint16_t SendPatternJob(spooler::Spooler& spooler, const std::string& printerName,
                             int resourceId) {
    const std::optional<std::span<const unsigned char>> job = resources::FindPatternJob(resourceId);
    if (!job) {
        return kNoSuchPattern;
    }
    if (job->empty() || job->data() == nullptr) {
        return kOtherFailure;
    }

    std::error_code error;
    const std::unique_ptr<spooler::Printer> printer = spooler.Open(printerName, error);
    if (error || !printer) {
        return kCannotOpen;
    }
    // The document cancels its job if it is destroyed before Finish.
    const std::unique_ptr<spooler::Document> document =
        printer->StartRawDocument(kPatternDocumentName, error);
    if (error || !document) {
        return kOtherFailure;
    }
    document->Write(*job, error);
    if (error) {
        return kOtherFailure;
    }
    document->Finish(error);
    if (error) {
        return kOtherFailure;
    }
    return kOk;
}

std::uint16_t SendPatternJob(const std::string& printerName, int resourceId) {
    const std::unique_ptr<spooler::Spooler> spooler = spooler::MakeSystemSpooler();
    return SendPatternJob(*spooler, printerName, resourceId);
}

}  // namespace kpm::access
