// The print system on a CUPS server.
#pragma once

#include "spooler/spooler.h"

namespace spooler::cups {

class CupsSpooler final : public Spooler {
public:
    std::vector<PrinterEntry> Printers(std::error_code& error) override;
    std::vector<PortEntry> Ports(std::error_code& error) override;
    std::unique_ptr<Printer> Open(std::string_view name, std::error_code& error) override;
    std::string PortHost(std::string_view port, std::error_code& error) override;
};

}  // namespace spooler::cups
