// Print jobs on the AppSocket port: what is recorded, the panel, the Print
// button and the busy time after a job.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/tools/printer-sim/wire_client.h"
#include "tools/printer-sim/simulator.h"

namespace {

using namespace kpm::wire_test;
using kpm::sim::Options;
using kpm::sim::Simulator;
using namespace std::chrono_literals;

// A pattern job as the wizard's resources hold them: one packet of kind 0x0C,
// subkind 0x50 with job commands (title 34, platen 52, raster data).
Bytes JobPacket(const std::string& title, std::size_t rasterBytes) {
    Bytes b(2432, 0);
    for (int c : {0x1B, 0x7C, 0x31, 0x30, 0x40, 0x0C, 0x50, 0x00, 0, 0, 0, 1}) {
        b.push_back(static_cast<unsigned char>(c));
    }
    b.resize(b.size() + 20, 0);
    auto command = [&](std::uint16_t code, const Bytes& data) {
        b.push_back(0x23);
        b.push_back(0x23);
        b.push_back(static_cast<unsigned char>(code >> 8));
        b.push_back(static_cast<unsigned char>(code));
        Be32(b, static_cast<std::uint32_t>(data.size()));
        b.insert(b.end(), data.begin(), data.end());
    };
    command(1, Bytes{'K', 'P', 'M'});
    Bytes name(title.begin(), title.end());
    name.resize(32, 0);
    command(34, name);
    command(52, Bytes{'1', '4', 'x', '1', '6', 0});
    command(80, Bytes(rasterBytes, 0x5A));
    for (int c : {0x1B, 0x7C, 0x31, 0x30, 0x24, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}) {
        b.push_back(static_cast<unsigned char>(c));
    }
    b.resize(b.size() + (2048 - b.size() % 2048) + 2048, 0);
    return b;
}

void SendJob(const Simulator& sim, const Bytes& job) {
    Connection c(sim.address(), 9100);
    c.Send(job);
    c.ShutdownWrite();
    bool closed = false;
    c.ReadAll(5s, &closed);
    EXPECT_TRUE(closed);
}

TEST(Jobs, RecordedWithTitlePlatenAndSizeAndShownOnThePanel) {
    Simulator sim;
    EXPECT_EQ(sim.panel().text, "READY");
    const Bytes job = JobPacket("ALIGN CHK", 3u << 20);
    SendJob(sim, job);
    ASSERT_TRUE(sim.WaitForJobs(1, 5s));
    const auto jobs = sim.jobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].size, job.size());
    EXPECT_TRUE(jobs[0].decoded);
    EXPECT_EQ(jobs[0].kind, 0x0C);
    EXPECT_EQ(jobs[0].subkind, 0x50);
    EXPECT_EQ(jobs[0].title, "ALIGN CHK");
    EXPECT_EQ(jobs[0].platen, "14x16");
    EXPECT_EQ(sim.panel().text, "ALIGN CHK");
    EXPECT_EQ(sim.panel().status, "job waiting");
    // The status command tells a job is waiting.
    EXPECT_EQ(Be32At(Ask(sim.address(), {C22(), C(77)})[0].data, 4), 2u);

    SendJob(sim, JobPacket("16inchLine", 1000));
    ASSERT_TRUE(sim.WaitForJobs(2, 5s));
    EXPECT_EQ(sim.panel().jobsWaiting, 2u);
    EXPECT_EQ(sim.panel().text, "ALIGN CHK");  // the oldest first
    EXPECT_TRUE(sim.PressPrint());
    EXPECT_EQ(sim.panel().text, "16inchLine");
    EXPECT_TRUE(sim.PressPrint());
    EXPECT_EQ(sim.panel().text, "READY");
    std::string reason;
    EXPECT_FALSE(sim.PressPrint(&reason));
    EXPECT_EQ(reason, "no job is waiting");
    EXPECT_TRUE(sim.jobs()[0].printed);
    EXPECT_NE(sim.RequestLog().find("title \"ALIGN CHK\", platen \"14x16\""), std::string::npos);
}

// On USB a job comes down the same line as requests (CUPS's usb backend
// writes it to the printer): it is recorded as a job, not answered, and the
// requests after it are answered as before.
TEST(Jobs, AJobOnTheUsbLineIsAJobAndRequestsGoOn) {
    Options options;
    options.usb = true;
    Simulator sim(options);
    const int node = ::open(sim.UsbNodePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(node, 0);
    Bytes line = JobPacket("ALIGN CHK", 100000);
    const Bytes request = RequestPacket(0x1234, {C22()});
    line.insert(line.end(), request.begin(), request.end());
    std::size_t written = 0;
    while (written < line.size()) {
        const ssize_t n = ::write(node, line.data() + written, line.size() - written);
        ASSERT_GT(n, 0);
        written += static_cast<std::size_t>(n);
    }
    ASSERT_TRUE(sim.WaitForJobs(1, 10s));
    EXPECT_EQ(sim.jobs()[0].title, "ALIGN CHK");
    EXPECT_EQ(sim.jobs()[0].platen, "14x16");
    ASSERT_TRUE(sim.printer().WaitForRequests(2, 10s));  // the job and the request
    const auto requests = sim.requests();
    EXPECT_EQ(requests[0].kind, kpm::sim::RequestRecord::Kind::Job);
    EXPECT_EQ(requests[1].kind, kpm::sim::RequestRecord::Kind::Request);
    EXPECT_EQ(requests[1].id, 0x1234u);
    ::close(node);
}

TEST(Jobs, AdjustmentWritesAnswerOperatingForAWhileAfterAJob) {
    Options o;
    o.busyAfterJob = 1000ms;
    Simulator sim(o);
    const Bytes firing{0, 0, 0, 1, 2, 3, 4, 0};
    SendJob(sim, JobPacket("FIRING CHK COLOR", 100));
    ASSERT_TRUE(sim.WaitForJobs(1, 5s));
    EXPECT_TRUE(sim.panel().operating);
    EXPECT_EQ(StatusOf(Ask(sim.address(), {C22(), C(46, firing)})[1]), 14);
    EXPECT_EQ(StatusOf(Ask(sim.address(), {C22(), C(108)})[1]), 0);  // reads go on
    EXPECT_EQ(sim.state().firing[0][0], (std::array<std::int8_t, 4>{}));

    std::this_thread::sleep_for(1050ms);
    EXPECT_EQ(StatusOf(Ask(sim.address(), {C22(), C(46, firing)})[1]), 0);

    // Pressing Print makes it busy again, printing.
    ASSERT_TRUE(sim.PressPrint());
    EXPECT_EQ(sim.panel().text, "PRINTING");
    EXPECT_EQ(StatusOf(Ask(sim.address(), {C22(), C(109, Bytes(8, 0))})[1]), 14);
    std::this_thread::sleep_for(1050ms);
    EXPECT_EQ(sim.panel().text, "READY");
}

TEST(Jobs, DataThatIsNoPacketIsStillAJob) {
    Options o;
    o.limits.idle = 300ms;
    Simulator sim(o);
    SendJob(sim, Bytes(5000, 0x11));
    ASSERT_TRUE(sim.WaitForJobs(1, 5s));
    EXPECT_FALSE(sim.jobs()[0].decoded);
    EXPECT_EQ(sim.jobs()[0].size, 5000u);
    EXPECT_EQ(sim.panel().text, "UNKNOWN JOB");

    // A sender that keeps the line open after a complete job.
    Connection c(sim.address(), 9100);
    c.Send(JobPacket("ALIGN CHK", 10));
    ASSERT_TRUE(sim.WaitForJobs(2, 5s));
    EXPECT_EQ(sim.jobs()[1].title, "ALIGN CHK");

    // A connection that sends nothing is no job.
    { Connection probe(sim.address(), 9100); }
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(sim.jobs().size(), 2u);
}

TEST(Jobs, CupsSocketBackendDeliversAJob) {
    const char* backend = "/usr/lib/cups/backend/socket";
    ASSERT_EQ(::access(backend, X_OK), 0)
        << backend << " missing (package cups, which links it from backend-available)";
    Simulator sim;
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("kpm-sim-job-" + sim.address());
    const Bytes job = JobPacket("FEEDING PATTERN(1)", 400000);
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(job.data()), static_cast<long>(job.size()));

    // Descriptors 3 and 4 are CUPS's back and side channels to a backend:
    // whatever the test runner left open there must not reach it.
    const std::string command = "DEVICE_URI=" + sim.JobDeviceUri() + " " + backend +
                                " 1 tester 'KP Data' 1 '' " + file.string() +
                                " 3>&- 4>&- 2>/dev/null";
    const int status = std::system(command.c_str());
    std::filesystem::remove(file);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    ASSERT_TRUE(sim.WaitForJobs(1, 5s));
    EXPECT_EQ(sim.jobs()[0].size, job.size());
    EXPECT_EQ(sim.panel().text, "FEEDING PATTERN(1)");
}

}  // namespace
