#include "spooler/cups/cups_printer.h"

#include <strings.h>

#include "spooler/cups/ppd.h"
#include "spooler/cups/raw_document.h"
#include "spooler/device_uri.h"
#include "spooler/driver_data.h"

namespace spooler::cups {
namespace {

JobState StateOf(int ippState) {
    switch (ippState) {
        case IPP_JSTATE_PENDING:
            return JobState::Pending;
        case IPP_JSTATE_HELD:
            return JobState::Held;
        case IPP_JSTATE_PROCESSING:
            return JobState::Processing;
        case IPP_JSTATE_STOPPED:
            return JobState::Stopped;
        case IPP_JSTATE_CANCELED:
            return JobState::Canceled;
        case IPP_JSTATE_ABORTED:
            return JobState::Aborted;
        default:
            return JobState::Completed;
    }
}

const char* const kJobAttributes[] = {"job-id", "job-name", "job-state", "job-k-octets",
                                      "job-printer-uri"};

void AddJobAttributesWanted(ipp_t* request) {
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(std::size(kJobAttributes)), nullptr, kJobAttributes);
}

// Reads the job whose attributes start at `a`, up to the next group
// separator or the end; returns the attribute that stopped it.
ipp_attribute_t* ReadJob(ipp_t* response, ipp_attribute_t* a, JobEntry& job,
                         std::string& printerUri) {
    for (; a && ippGetName(a); a = ippNextAttribute(response)) {
        if (ippGetGroupTag(a) != IPP_TAG_JOB) {
            continue;
        }
        const std::string_view key = ippGetName(a);
        if (key == "job-id") {
            job.id = ippGetInteger(a, 0);
        } else if (key == "job-name") {
            const char* text = ippGetString(a, 0, nullptr);
            job.name = text ? text : "";
        } else if (key == "job-state") {
            job.state = StateOf(ippGetInteger(a, 0));
        } else if (key == "job-k-octets") {
            job.kilobytes = static_cast<std::uint64_t>(ippGetInteger(a, 0));
        } else if (key == "job-printer-uri") {
            const char* text = ippGetString(a, 0, nullptr);
            printerUri = text ? text : "";
        }
    }
    return a;
}

// Whether a job's printer URI (".../printers/NAME" or ".../classes/NAME",
// percent-encoded) names the printer `name`; printer names are compared as
// the server does, ignoring case.
bool UriNamesPrinter(std::string_view uri, const std::string& name) {
    const std::size_t slash = uri.rfind('/');
    if (slash == std::string_view::npos) {
        return false;
    }
    const std::optional<std::string> last = PercentDecoded(uri.substr(slash + 1));
    return last && strcasecmp(last->c_str(), name.c_str()) == 0;
}

}  // namespace

std::unique_ptr<CupsPrinter> CupsPrinter::Open(std::string_view name, std::error_code& error) {
    auto connection = std::make_unique<Connection>(error);
    if (error) {
        return nullptr;
    }
    // The server knows no queue without a name; don't let an empty name
    // address the server itself.
    if (name.empty()) {
        error = make_error_code(Errc::NoSuchPrinter);
        return nullptr;
    }
    static const char* const kWanted[] = {"printer-type"};
    Ipp request = NewPrinterRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, name);
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 1,
                  nullptr, kWanted);
    Ipp response = connection->Send(std::move(request), "/", Errc::NoSuchPrinter, error);
    if (error) {
        return nullptr;
    }
    ipp_attribute_t* type = ippFindAttribute(response.get(), "printer-type", IPP_TAG_ENUM);
    const bool isClass = type && (ippGetInteger(type, 0) & CUPS_PRINTER_CLASS) != 0;
    return std::make_unique<CupsPrinter>(std::string(name), isClass, std::move(connection));
}

std::string CupsPrinter::Port(std::error_code& error) {
    std::unique_ptr<Spooler> spooler = MakeSystemSpooler();
    // Classes take their port from their members, so the listing, which
    // knows all queues, answers for every kind of queue.
    const std::vector<PrinterEntry> printers = spooler->Printers(error);
    if (error) {
        return {};
    }
    for (const PrinterEntry& p : printers) {
        if (strcasecmp(p.name.c_str(), name_.c_str()) == 0) {
            return p.port;
        }
    }
    error = make_error_code(Errc::NoSuchPrinter);
    return {};
}

std::vector<unsigned char> CupsPrinter::DriverData(std::string_view valueName,
                                                   std::error_code& error) {
    const std::optional<std::string> text = ReadPpdKeyword(*connection_, name_, valueName, error);
    if (error) {
        return {};
    }
    if (!text) {
        error = make_error_code(Errc::NoSuchValue);
        return {};
    }
    return DriverDataFromText(*text);
}

std::unique_ptr<Document> CupsPrinter::StartRawDocument(std::string_view documentName,
                                                        std::error_code& error) {
    return RawDocument::Start(name_, documentName, error);
}

std::vector<JobEntry> CupsPrinter::Jobs(std::error_code& error) {
    Ipp request = NewPrinterRequest(IPP_OP_GET_JOBS, name_);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr,
                 "not-completed");
    AddJobAttributesWanted(request.get());
    Ipp response = connection_->Send(std::move(request), "/", Errc::NoSuchPrinter, error);
    if (error || !response) {
        return {};
    }
    std::vector<JobEntry> jobs;
    ipp_attribute_t* a = ippFirstAttribute(response.get());
    while (a) {
        if (ippGetGroupTag(a) != IPP_TAG_JOB) {
            a = ippNextAttribute(response.get());
            continue;
        }
        JobEntry job;
        std::string printerUri;
        a = ReadJob(response.get(), a, job, printerUri);
        if (job.id > 0) {
            jobs.push_back(std::move(job));
        }
        if (a) {
            a = ippNextAttribute(response.get());
        }
    }
    return jobs;
}

JobEntry CupsPrinter::Job(int jobId, std::error_code& error) {
    Ipp request = NewPrinterRequest(IPP_OP_GET_JOB_ATTRIBUTES, name_);
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId);
    AddJobAttributesWanted(request.get());
    Ipp response = connection_->Send(std::move(request), "/", Errc::NoSuchJob, error);
    if (error) {
        return {};
    }
    JobEntry job;
    std::string printerUri;
    ipp_attribute_t* a = ippFirstAttribute(response.get());
    while (a && ippGetGroupTag(a) != IPP_TAG_JOB) {
        a = ippNextAttribute(response.get());
    }
    ReadJob(response.get(), a, job, printerUri);
    // The server finds a job by its id alone; a job of another queue is not
    // this printer's.
    if (job.id != jobId || !UriNamesPrinter(printerUri, name_)) {
        error = make_error_code(Errc::NoSuchJob);
        return {};
    }
    return job;
}

void CupsPrinter::CancelJob(int jobId, std::error_code& error) {
    error.clear();
    Job(jobId, error);  // refuse to cancel another queue's job
    if (error) {
        return;
    }
    Ipp request = NewPrinterRequest(IPP_OP_CANCEL_JOB, name_);
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId);
    connection_->Send(std::move(request), "/jobs/", Errc::NoSuchJob, error);
}

}  // namespace spooler::cups
