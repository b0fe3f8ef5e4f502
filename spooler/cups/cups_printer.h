// An open printer (a queue) of a CUPS server.
#pragma once

#include <memory>

#include "spooler/cups/connection.h"
#include "spooler/spooler.h"

namespace spooler::cups {

class CupsPrinter final : public Printer {
public:
    // Connects and asks the server for the printer: an unknown name is
    // Errc::NoSuchPrinter, a refusal Errc::AccessDenied.
    static std::unique_ptr<CupsPrinter> Open(std::string_view name, std::error_code& error);

    const std::string& Name() const noexcept override { return name_; }
    bool IsClass() const noexcept override { return isClass_; }
    std::string Port(std::error_code& error) override;
    std::vector<unsigned char> DriverData(std::string_view valueName,
                                          std::error_code& error) override;
    std::unique_ptr<Document> StartRawDocument(std::string_view documentName,
                                               std::error_code& error) override;
    std::vector<JobEntry> Jobs(std::error_code& error) override;
    JobEntry Job(int jobId, std::error_code& error) override;
    void CancelJob(int jobId, std::error_code& error) override;

    CupsPrinter(std::string name, bool isClass, std::unique_ptr<Connection> connection)
        : name_(std::move(name)), isClass_(isClass), connection_(std::move(connection)) {}

private:
    std::string name_;
    bool isClass_;
    std::unique_ptr<Connection> connection_;
};

}  // namespace spooler::cups
