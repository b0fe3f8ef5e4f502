// What the maintenance wizard and the printer communication library ask of
// the print system: its printers and ports, a printer's port and driver
// data, and raw jobs in a printer's queue. Every failure is a
// std::error_code, usually of spooler::Category() (errors.h); nothing here
// throws except for lack of memory.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "spooler/job.h"
#include "spooler/listing.h"

namespace spooler {

// One document of a raw job being written. The job enters the queue with
// Finish(); a document destroyed before that, or whose writing failed, has
// its job cancelled, so no half-written job is left to print or to block
// the queue.
class Document {
public:
    virtual ~Document() = default;

    virtual int JobId() const noexcept = 0;

    // Hands the bytes to the print system as they are, in one request.
    virtual void Write(std::span<const unsigned char> bytes, std::error_code& error) = 0;

    // Ends the document; the job is then complete in the queue.
    virtual void Finish(std::error_code& error) = 0;

    Document() = default;
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;
};

// An open printer. Holds the print system's connection, nothing more; every
// call asks the print system afresh.
class Printer {
public:
    virtual ~Printer() = default;

    virtual const std::string& Name() const noexcept = 0;

    // Whether the printer is a class: a pool of queues printing through
    // their ports, with no port of its own even when it has one member.
    virtual bool IsClass() const noexcept = 0;

    // The printer's port (see PrinterEntry::port).
    virtual std::string Port(std::error_code& error) = 0;

    // A data value of the printer's driver, by name. The value is a keyword
    // of the queue's PPD: a number reads as its 4-byte little-endian value,
    // any other text as its bytes. A driver without the value reports
    // Errc::NoSuchValue.
    virtual std::vector<unsigned char> DriverData(std::string_view valueName,
                                                  std::error_code& error) = 0;

    // Starts a raw job (data type "RAW": the bytes go to the printer
    // unchanged) whose job and document are named `documentName`.
    virtual std::unique_ptr<Document> StartRawDocument(std::string_view documentName,
                                                       std::error_code& error) = 0;

    // The jobs still in the queue (IsActive), oldest first.
    virtual std::vector<JobEntry> Jobs(std::error_code& error) = 0;

    // One job of this printer by id, in whatever state; a job the print
    // system does not know (any more) reports Errc::NoSuchJob.
    virtual JobEntry Job(int jobId, std::error_code& error) = 0;

    virtual void CancelJob(int jobId, std::error_code& error) = 0;

    Printer() = default;
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;
};

class Spooler {
public:
    virtual ~Spooler() = default;

    // Every queue, printers and classes, in the print system's order.
    virtual std::vector<PrinterEntry> Printers(std::error_code& error) = 0;

    // Every port in use by a queue, each once, with its monitor.
    virtual std::vector<PortEntry> Ports(std::error_code& error) = 0;

    // Opens a printer by name. Unknown name: Errc::NoSuchPrinter; refused:
    // Errc::AccessDenied; anything else: Errc::Failed or Errc::Unavailable.
    virtual std::unique_ptr<Printer> Open(std::string_view name, std::error_code& error) = 0;

    // The host of a standard TCP/IP port (a DNS name or an address, as
    // configured); any other port reports Errc::Failed.
    virtual std::string PortHost(std::string_view port, std::error_code& error) = 0;

    Spooler() = default;
    Spooler(const Spooler&) = delete;
    Spooler& operator=(const Spooler&) = delete;
};

// The print system of this machine: the CUPS server that CUPS_SERVER or the
// client configuration names. Connects only when asked something.
std::unique_ptr<Spooler> MakeSystemSpooler();

}  // namespace spooler
