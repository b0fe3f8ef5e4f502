// Check-pattern jobs through the private cupsd and its socket backend to a
// simulated printer, which decodes what arrives.
#include "access/pattern_job.h"

#include <gtest/gtest.h>

#include <chrono>

#include "spooler/spooler.h"
#include "tests/support/cups_queues.h"
#include "tools/printer-sim/simulator.h"

namespace {

using kpm::access::SendPatternJob;
using kpm::test::Queues;
using kpm::test::UniqueQueueName;

TEST(SendPatternJob, UnknownAndRefusedPrintersCannotBeOpened) {
    Queues queues;
    const std::string refused = UniqueQueueName("pattern-refused");
    queues.Add(refused, "socket://" + kpm::sim::RandomLoopbackAddress() + ":9100", "",
               {"-o", "printer-op-policy=refuse-all"});
    EXPECT_EQ(SendPatternJob(UniqueQueueName("pattern-missing"), 287), 1001);
    EXPECT_EQ(SendPatternJob(refused, 287), 1001);
    EXPECT_EQ(SendPatternJob(refused, 301), 1000);
}

TEST(SendPatternJob, SixteenInchLineQueuesOneJobAndThePrinterReceivesItWhole) {
    kpm::sim::Simulator printer;
    Queues queues;
    const std::string name = UniqueQueueName("pattern-287");
    queues.Add(name, printer.JobDeviceUri());
    queues.Pause(name);

    ASSERT_EQ(SendPatternJob(name, 287), 0);

    // In the queue: one job "KP Data" of exactly the pattern's bytes.
    std::error_code error;
    const auto spooler = spooler::MakeSystemSpooler();
    const auto queue = spooler->Open(name, error);
    ASSERT_FALSE(error) << error.message();
    const std::vector<spooler::JobEntry> jobs = queue->Jobs(error);
    ASSERT_FALSE(error) << error.message();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].name, "KP Data");
    EXPECT_EQ(jobs[0].kilobytes, 2129920u / 1024);
    EXPECT_EQ(kpm::test::SpooledDocumentSize(jobs[0].id), 2129920);
    EXPECT_TRUE(printer.jobs().empty());

    // Released, it travels through the socket backend to the printer.
    queues.Resume(name);
    ASSERT_TRUE(printer.WaitForJobs(1, std::chrono::seconds(20)));
    const std::vector<kpm::sim::JobRecord> received = printer.jobs();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].size, 2129920u);
    EXPECT_TRUE(received[0].decoded);
    EXPECT_EQ(received[0].kind, 0x0C);
    EXPECT_EQ(received[0].subkind, 0x50);
    EXPECT_EQ(received[0].title, "16inchLine");
    EXPECT_EQ(received[0].platen, "14x16");
}

TEST(SendPatternJob, EveryPatternReachesThePrinterWithItsTitle) {
    kpm::sim::Simulator printer;
    Queues queues;
    const std::string name = UniqueQueueName("pattern-all");
    queues.Add(name, printer.JobDeviceUri());
    const std::pair<int, const char*> patterns[] = {
        {210, "FIRING CHK COLOR"}, {211, "FIRING CHK COLOR"},   {212, "FIRING CHK WHITE"},
        {214, "ALIGN CHK"},        {267, "FEEDING PATTERN(1)"}, {300, "FEEDING PATTERN(2)"},
    };
    const std::size_t sizes[] = {473088, 147456, 477184, 3305472, 423936, 808960};
    for (const auto& [id, title] : patterns) {
        ASSERT_EQ(SendPatternJob(name, id), 0) << id;
    }
    ASSERT_TRUE(printer.WaitForJobs(std::size(patterns), std::chrono::seconds(30)));
    const std::vector<kpm::sim::JobRecord> received = printer.jobs();
    ASSERT_EQ(received.size(), std::size(patterns));
    for (std::size_t i = 0; i < received.size(); ++i) {
        EXPECT_EQ(received[i].title, patterns[i].second) << patterns[i].first;
        EXPECT_EQ(received[i].size, sizes[i]) << patterns[i].first;
    }
}

}  // namespace
