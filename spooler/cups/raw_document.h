// A raw job being written to a CUPS queue.
#pragma once

#include <memory>
#include <string>

#include "spooler/cups/connection.h"
#include "spooler/spooler.h"

namespace spooler::cups {

class RawDocument final : public Document {
public:
    // Creates the job and starts its one document, on a connection of its
    // own: the document's data is one long request that nothing else may
    // interleave with.
    static std::unique_ptr<RawDocument> Start(const std::string& printer,
                                              std::string_view documentName,
                                              std::error_code& error);
    ~RawDocument() override;

    int JobId() const noexcept override { return jobId_; }
    void Write(std::span<const unsigned char> bytes, std::error_code& error) override;
    void Finish(std::error_code& error) override;

    RawDocument(std::string printer, std::unique_ptr<Connection> connection, int jobId)
        : printer_(std::move(printer)), connection_(std::move(connection)), jobId_(jobId) {}

private:
    void Abandon() noexcept;

    std::string printer_;
    std::unique_ptr<Connection> connection_;
    int jobId_;
    bool finished_ = false;
    bool failed_ = false;
};

}  // namespace spooler::cups
