// kpbidi -p NAME: the printer found through its print queue, as the wizard
// finds it, against the tests' private cupsd.
#include <gtest/gtest.h>

#include "tests/support/command.h"
#include "tests/support/cups_queues.h"
#include "tools/printer-sim/simulator.h"

namespace {

using kpm::test::RunCommand;

TEST(CliQueue, NamedQueueReachesItsPrinter) {
    kpm::sim::Simulator sim;
    kpm::test::Queues queues;
    const std::string name = kpm::test::UniqueQueueName("kpm-cli");
    queues.Add(name, sim.JobDeviceUri());

    const auto info = RunCommand({KPBIDI_PROGRAM, "-p", name, "--json", "info"});
    EXPECT_EQ(info.exitStatus, 0) << info.output;
    EXPECT_NE(info.output.find(sim.state().serialNumber), std::string::npos) << info.output;

    const auto unknown = RunCommand({KPBIDI_PROGRAM, "-p", name + "-gone", "info"});
    EXPECT_EQ(unknown.exitStatus, 1);
    EXPECT_EQ(unknown.output, "kpbidi: error 1001 (PrinterNotFound)\n");
}

}  // namespace
