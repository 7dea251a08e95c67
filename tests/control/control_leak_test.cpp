#include <gtest/gtest.h>

#include "control/control_command.h"
#include "control/script_control_queue.h"
#include "tests/control/installation.h"
#include "tests/control/process_census.h"
#include "tests/control/queued_main_thread.h"

namespace quorvel {
namespace {

using namespace std::chrono_literals;
using testing::Installation;
using testing::ProcessCensus;
using testing::QueuedMainThread;

void expectNothingPiledUp(const ProcessCensus& before, const ProcessCensus& after) {
    EXPECT_EQ(after.openDescriptors, before.openDescriptors) << "descriptors leak";
    EXPECT_EQ(after.threads, before.threads) << "threads leak";
    EXPECT_EQ(after.children, 0u) << "children left unreaped";
}

// A fast native program stands in for node so that thousands of runs stay cheap.
TEST(ControlLeaks, TwoThousandRunsLeaveNothingBehind) {
    Installation installation;
    ProcessCommand command = controlCommand(installation.path(), "status");
    command.executable = "/usr/bin/printf";
    command.arguments = {R"({"ok":true,"state":"Running"})"};
    const ControlReply expected{{"ok", true}, {"state", "Running"}};

    ASSERT_EQ(runCommandForReply(command, 5s, {}), expected);
    const ProcessCensus before = ProcessCensus::take();
    int mismatches = 0;
    for (int run = 0; run < 2000; ++run) {
        mismatches += runCommandForReply(command, 5s, {}) == expected ? 0 : 1;
    }
    EXPECT_EQ(mismatches, 0);
    expectNothingPiledUp(before, ProcessCensus::take());
}

TEST(ControlLeaks, RunsThroughTheQueueAndNodeLeaveNothingBehind) {
    Installation installation;
    installation.writeScript("console.log('{\"ok\":true}');");
    QueuedMainThread mainThread;
    ScriptControlQueue queue(mainThread);
    int ok = 0;
    const auto count = [&ok](ControlReply reply) { ok += reply == ControlReply{{"ok", true}}; };

    queue.perform(installation.path(), "status", count);
    ASSERT_EQ(mainThread.runPosted(1), 1u);
    const ProcessCensus before = ProcessCensus::take();
    constexpr std::size_t runs = 100;
    for (std::size_t run = 1; run <= runs; ++run) {
        queue.perform(installation.path(), "status", count);
        ASSERT_EQ(mainThread.runPosted(run + 1), run + 1);
    }
    EXPECT_EQ(ok, static_cast<int>(runs) + 1);
    expectNothingPiledUp(before, ProcessCensus::take());
}

}  // namespace
}  // namespace quorvel
