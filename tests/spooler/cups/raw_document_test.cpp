// Raw jobs in a queue of the tests' private CUPS server. The queues are
// paused, so jobs stay where the tests can see them.
#include "spooler/cups/raw_document.h"

#include <gtest/gtest.h>

#include "spooler/cups/cups_spooler.h"
#include "spooler/errors.h"
#include "tests/support/cups_queues.h"

namespace {

using kpm::test::Queues;
using kpm::test::UniqueQueueName;

class RawJobs : public ::testing::Test {
protected:
    void SetUp() override {
        name_ = UniqueQueueName("jobs");
        queues_.Add(name_, "socket://" + kpm::sim::RandomLoopbackAddress() + ":9100");
        queues_.Pause(name_);
        std::error_code error;
        printer_ = spooler_.Open(name_, error);
        ASSERT_FALSE(error) << error.message();
    }

    Queues queues_;
    std::string name_;
    spooler::cups::CupsSpooler spooler_;
    std::unique_ptr<spooler::Printer> printer_;
};

TEST_F(RawJobs, AFinishedDocumentWaitsInTheQueueUntilCancelled) {
    std::error_code error;
    std::unique_ptr<spooler::Document> document = printer_->StartRawDocument("KP Data", error);
    ASSERT_FALSE(error) << error.message();
    const std::vector<unsigned char> bytes(5000, 0xA5);
    document->Write(bytes, error);
    ASSERT_FALSE(error) << error.message();
    document->Write(std::span(bytes).first(121), error);
    ASSERT_FALSE(error) << error.message();
    document->Finish(error);
    ASSERT_FALSE(error) << error.message();
    const int id = document->JobId();
    document.reset();  // a finished job stays

    std::vector<spooler::JobEntry> jobs = printer_->Jobs(error);
    ASSERT_FALSE(error) << error.message();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].id, id);
    EXPECT_EQ(jobs[0].name, "KP Data");
    EXPECT_EQ(jobs[0].state, spooler::JobState::Pending);
    EXPECT_EQ(jobs[0].kilobytes, 6u);  // 5121 bytes, rounded up

    spooler::JobEntry job = printer_->Job(id, error);
    ASSERT_FALSE(error) << error.message();
    EXPECT_EQ(job.name, "KP Data");
    EXPECT_TRUE(spooler::IsActive(job.state));

    printer_->CancelJob(id, error);
    ASSERT_FALSE(error) << error.message();
    job = printer_->Job(id, error);
    ASSERT_FALSE(error) << error.message();
    EXPECT_EQ(job.state, spooler::JobState::Canceled);
    EXPECT_TRUE(printer_->Jobs(error).empty());
}

TEST_F(RawJobs, AnAbandonedDocumentHasItsJobCancelled) {
    std::error_code error;
    std::unique_ptr<spooler::Document> document = printer_->StartRawDocument("KP Data", error);
    ASSERT_FALSE(error) << error.message();
    document->Write(std::vector<unsigned char>(100, 1), error);
    ASSERT_FALSE(error);
    const int id = document->JobId();
    document.reset();

    EXPECT_TRUE(printer_->Jobs(error).empty());
    EXPECT_FALSE(spooler::IsActive(printer_->Job(id, error).state));
}

TEST_F(RawJobs, JobsOfOtherQueuesAndUnknownJobsAreNotFound) {
    Queues more;
    const std::string other = UniqueQueueName("jobs-other");
    more.Add(other, "socket://" + kpm::sim::RandomLoopbackAddress() + ":9100");
    more.Pause(other);
    std::error_code error;
    std::unique_ptr<spooler::Printer> otherPrinter = spooler_.Open(other, error);
    ASSERT_FALSE(error);
    std::unique_ptr<spooler::Document> document = otherPrinter->StartRawDocument("KP Data", error);
    ASSERT_FALSE(error);
    document->Write(std::vector<unsigned char>(10, 2), error);
    ASSERT_FALSE(error);
    document->Finish(error);
    ASSERT_FALSE(error);

    printer_->Job(document->JobId(), error);
    EXPECT_EQ(error, spooler::Errc::NoSuchJob);
    printer_->CancelJob(document->JobId(), error);
    EXPECT_EQ(error, spooler::Errc::NoSuchJob);
    EXPECT_TRUE(spooler::IsActive(otherPrinter->Job(document->JobId(), error).state));

    printer_->Job(999999, error);
    EXPECT_EQ(error, spooler::Errc::NoSuchJob);
}

TEST_F(RawJobs, AQueueRemovedAfterOpeningIsNoSuchPrinter) {
    queues_.Remove(name_);
    std::error_code error;
    EXPECT_EQ(printer_->StartRawDocument("KP Data", error), nullptr);
    EXPECT_EQ(error, spooler::Errc::NoSuchPrinter);
    printer_->Jobs(error);
    EXPECT_EQ(error, spooler::Errc::NoSuchPrinter);
}

}  // namespace
