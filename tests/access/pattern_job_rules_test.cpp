// SendPatternJob's codes and steps, on an in-memory print system.
#include "access/pattern_job.h"

#include <gtest/gtest.h>

#include "resources/patterns/patterns.h"
#include "tests/support/fake_spooler.h"

namespace {

using kpm::access::SendPatternJob;
using kpm::test::FakeSpooler;

TEST(SendPatternJobRules, AnUnknownPatternIsRefusedWithoutAskingThePrintSystem) {
    FakeSpooler spooler;
    spooler.Add("kpm", "usb://kpm", "Dynamic Print Monitor");
    for (const int id : {301, 0, -1, 209, 213}) {
        EXPECT_EQ(SendPatternJob(spooler, "kpm", id), 1000) << id;
    }
    EXPECT_EQ(SendPatternJob(spooler, "no such printer", 301), 1000);
    EXPECT_EQ(spooler.requests, 0);
}

TEST(SendPatternJobRules, EachPatternGoesOutUnchangedInOneWriteFromTheProgramImage) {
    FakeSpooler spooler;
    spooler.Add("kpm", "usb://kpm", "Dynamic Print Monitor");
    const int ids[] = {210, 211, 212, 214, 267, 287, 300};
    for (const int id : ids) {
        EXPECT_EQ(SendPatternJob(spooler, "kpm", id), 0) << id;
    }
    ASSERT_EQ(spooler.jobs.size(), std::size(ids));
    for (std::size_t i = 0; i < std::size(ids); ++i) {
        const auto pattern = kpm::resources::FindPatternJob(ids[i]);
        ASSERT_TRUE(pattern.has_value());
        const FakeSpooler::Job& job = spooler.jobs[i];
        EXPECT_EQ(job.name, "KP Data");
        EXPECT_TRUE(job.finished);
        ASSERT_EQ(job.writes.size(), 1u);
        EXPECT_EQ(job.writes[0], pattern->data());  // not a copy
        EXPECT_TRUE(
            std::equal(job.bytes.begin(), job.bytes.end(), pattern->begin(), pattern->end()));
    }
}

TEST(SendPatternJobRules, OpeningFailuresAre1001AndLaterOnes1008) {
    FakeSpooler spooler;
    spooler.Add("refused", "usb://a", "Dynamic Print Monitor").openError =
        make_error_code(spooler::Errc::AccessDenied);
    spooler.Add("down", "usb://b", "Dynamic Print Monitor").openError =
        make_error_code(spooler::Errc::Unavailable);
    spooler.Add("kpm", "usb://kpm", "Dynamic Print Monitor");
    EXPECT_EQ(SendPatternJob(spooler, "unknown", 287), 1001);
    EXPECT_EQ(SendPatternJob(spooler, "refused", 287), 1001);
    EXPECT_EQ(SendPatternJob(spooler, "down", 287), 1001);

    spooler.startError = make_error_code(spooler::Errc::Failed);
    EXPECT_EQ(SendPatternJob(spooler, "kpm", 287), 1008);
    spooler.startError.clear();

    spooler.writeError = make_error_code(spooler::Errc::Failed);
    EXPECT_EQ(SendPatternJob(spooler, "kpm", 287), 1008);
    ASSERT_FALSE(spooler.jobs.empty());
    EXPECT_FALSE(spooler.jobs.back().finished);  // its document cancels the job
    spooler.writeError.clear();

    spooler.finishError = make_error_code(spooler::Errc::Failed);
    EXPECT_EQ(SendPatternJob(spooler, "kpm", 287), 1008);
    spooler.finishError.clear();

    EXPECT_EQ(SendPatternJob(spooler, "kpm", 287), 0);
}

}  // namespace
