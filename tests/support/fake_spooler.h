// An in-memory print system for tests of the code above the spooler layer:
// queues with ports, monitors, hosts and driver data, scripted failures,
// and a count of every request it was asked.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "spooler/errors.h"
#include "spooler/monitors.h"
#include "spooler/spooler.h"

namespace kpm::test {

class FakeSpooler : public spooler::Spooler {
public:
    struct Queue {
        spooler::PrinterEntry entry;
        std::map<std::string, std::vector<unsigned char>> driverData;
        std::error_code openError;
    };

    std::vector<Queue> queues;
    std::vector<spooler::PortEntry> ports;
    std::map<std::string, std::string> hosts;  // port -> host
    std::error_code listError;
    std::error_code portsError;
    std::error_code startError;
    std::error_code writeError;
    std::error_code finishError;

    // Every call of any operation, of the spooler or of a printer it opened.
    std::atomic<int> requests{0};
    struct Job {
        std::string name;
        std::vector<unsigned char> bytes;
        std::vector<const unsigned char*> writes;  // where each write's bytes were
        bool finished = false;
    };
    // Every document started through an opened printer.
    std::vector<Job> jobs;

    // A queue on `port`; the port is listed with `monitor` unless it is
    // listed already.
    Queue& Add(const std::string& name, const std::string& port, const std::string& monitor,
               const std::string& driver = "Corvane KPM pro") {
        queues.push_back({{name, port, driver, false}, {}, {}});
        bool known = false;
        for (const auto& p : ports) {
            known = known || p.name == port;
        }
        if (!known && !monitor.empty()) {
            ports.push_back({port, monitor});
        }
        return queues.back();
    }

    std::vector<spooler::PrinterEntry> Printers(std::error_code& error) override {
        ++requests;
        error = listError;
        std::vector<spooler::PrinterEntry> all;
        if (!error) {
            for (const Queue& q : queues) {
                all.push_back(q.entry);
            }
        }
        return all;
    }

    std::vector<spooler::PortEntry> Ports(std::error_code& error) override {
        ++requests;
        error = portsError;
        return error ? std::vector<spooler::PortEntry>{} : ports;
    }

    std::unique_ptr<spooler::Printer> Open(std::string_view name, std::error_code& error) override;

    std::string PortHost(std::string_view port, std::error_code& error) override {
        ++requests;
        const auto it = hosts.find(std::string(port));
        error = it == hosts.end() ? make_error_code(spooler::Errc::Failed) : std::error_code();
        return it == hosts.end() ? std::string() : it->second;
    }

private:
    class FakeDocument : public spooler::Document {
    public:
        FakeDocument(FakeSpooler& owner, std::size_t job) : owner_(owner), job_(job) {}
        int JobId() const noexcept override { return static_cast<int>(job_) + 1; }
        void Write(std::span<const unsigned char> bytes, std::error_code& error) override {
            ++owner_.requests;
            error = owner_.writeError;
            Job& job = owner_.jobs[job_];
            job.writes.push_back(bytes.data());
            job.bytes.insert(job.bytes.end(), bytes.begin(), bytes.end());
        }
        void Finish(std::error_code& error) override {
            ++owner_.requests;
            error = owner_.finishError;
            owner_.jobs[job_].finished = !error;
        }

    private:
        FakeSpooler& owner_;
        std::size_t job_;
    };

    class FakePrinter : public spooler::Printer {
    public:
        FakePrinter(FakeSpooler& owner, const Queue& queue) : owner_(owner), queue_(queue) {}
        const std::string& Name() const noexcept override { return queue_.entry.name; }
        bool IsClass() const noexcept override { return queue_.entry.isClass; }
        std::string Port(std::error_code& error) override {
            ++owner_.requests;
            error.clear();
            return queue_.entry.port;
        }
        std::vector<unsigned char> DriverData(std::string_view valueName,
                                              std::error_code& error) override {
            ++owner_.requests;
            const auto it = queue_.driverData.find(std::string(valueName));
            if (it == queue_.driverData.end()) {
                error = make_error_code(spooler::Errc::NoSuchValue);
                return {};
            }
            error.clear();
            return it->second;
        }
        std::unique_ptr<spooler::Document> StartRawDocument(std::string_view documentName,
                                                            std::error_code& error) override {
            ++owner_.requests;
            error = owner_.startError;
            if (error) {
                return nullptr;
            }
            owner_.jobs.push_back({std::string(documentName), {}, {}, false});
            return std::make_unique<FakeDocument>(owner_, owner_.jobs.size() - 1);
        }
        std::vector<spooler::JobEntry> Jobs(std::error_code& error) override {
            ++owner_.requests;
            error.clear();
            return {};
        }
        spooler::JobEntry Job(int, std::error_code& error) override {
            ++owner_.requests;
            error = make_error_code(spooler::Errc::NoSuchJob);
            return {};
        }
        void CancelJob(int, std::error_code& error) override {
            ++owner_.requests;
            error = make_error_code(spooler::Errc::NoSuchJob);
        }

    private:
        FakeSpooler& owner_;
        const Queue& queue_;
    };
};

inline std::unique_ptr<spooler::Printer> FakeSpooler::Open(std::string_view name,
                                                           std::error_code& error) {
    ++requests;
    for (const Queue& q : queues) {
        if (q.entry.name == name) {
            error = q.openError;
            return error ? nullptr : std::make_unique<FakePrinter>(*this, q);
        }
    }
    error = make_error_code(spooler::Errc::NoSuchPrinter);
    return nullptr;
}

}  // namespace kpm::test
