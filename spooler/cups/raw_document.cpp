#include "spooler/cups/raw_document.h"

namespace spooler::cups {

std::unique_ptr<RawDocument> RawDocument::Start(const std::string& printer,
                                                std::string_view documentName,
                                                std::error_code& error) {
    auto connection = std::make_unique<Connection>(error);
    if (error) {
        return nullptr;
    }
    const std::string title(documentName);
    const int jobId = cupsCreateJob(connection->get(), printer.c_str(), title.c_str(), 0, nullptr);
    if (jobId <= 0) {
        error = ErrorFromLastStatus(Errc::NoSuchPrinter);
        if (!error || error == Errc::Failed) {
            // libcups looks the queue up before asking for the job and
            // reports a queue it cannot find only as a local failure; ask
            // the server whether the queue is there.
            Ipp request = NewPrinterRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, printer);
            std::error_code lookup;
            connection->Send(std::move(request), "/", Errc::NoSuchPrinter, lookup);
            error = lookup ? lookup : make_error_code(Errc::Failed);
        }
        return nullptr;
    }
    auto document = std::make_unique<RawDocument>(printer, std::move(connection), jobId);
    const http_status_t status = cupsStartDocument(document->connection_->get(), printer.c_str(),
                                                   jobId, title.c_str(), CUPS_FORMAT_RAW, 1);
    if (status != HTTP_STATUS_CONTINUE) {
        error = ErrorFromLastStatus(Errc::NoSuchPrinter);
        if (!error) {
            error = make_error_code(Errc::Failed);
        }
        return nullptr;  // the document's destructor cancels the job
    }
    error.clear();
    return document;
}

RawDocument::~RawDocument() {
    if (!finished_) {
        Abandon();
    }
}

void RawDocument::Write(std::span<const unsigned char> bytes, std::error_code& error) {
    error.clear();
    if (finished_ || failed_) {
        error = make_error_code(Errc::Failed);
        return;
    }
    const http_status_t status = cupsWriteRequestData(
        connection_->get(), reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (status != HTTP_STATUS_CONTINUE) {
        failed_ = true;
        error = ErrorFromLastStatus(Errc::NoSuchPrinter);
        if (!error) {
            error = make_error_code(Errc::Failed);
        }
    }
}

void RawDocument::Finish(std::error_code& error) {
    error.clear();
    if (finished_ || failed_) {
        error = make_error_code(Errc::Failed);
        return;
    }
    cupsFinishDocument(connection_->get(), printer_.c_str());
    error = ErrorFromLastStatus(Errc::NoSuchPrinter);
    if (error) {
        failed_ = true;
        return;
    }
    finished_ = true;
}

void RawDocument::Abandon() noexcept {
    // The document's request is still open on our connection; drop it and
    // cancel the job on a fresh one, so a half-written job never prints.
    connection_.reset();
    std::error_code error;
    Connection fresh(error);
    if (error) {
        return;
    }
    Ipp request = NewPrinterRequest(IPP_OP_CANCEL_JOB, printer_);
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId_);
    fresh.Send(std::move(request), "/jobs/", Errc::NoSuchJob, error);
}

}  // namespace spooler::cups
