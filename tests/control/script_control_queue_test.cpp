#include "control/script_control_queue.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "control/runner_replies.h"
#include "tests/control/installation.h"
#include "tests/control/queued_main_thread.h"

namespace quorvel {
namespace {

using namespace std::chrono_literals;
using testing::Installation;
using testing::QueuedMainThread;

struct Completion {
    ControlReply reply;
    std::thread::id thread;
};

// Each verb but the last sleeps a little less than the one before, so that a runner running
// commands side by side would finish them out of order.
constexpr const char* echoingScript = R"(
const verb = process.argv[2];
const delay = {first: 300, second: 150}[verb] || 0;
setTimeout(() => console.log(JSON.stringify({ok: true, verb})), delay);
)";

TEST(ScriptControlQueue, DeliversEveryReplyOnTheMainThreadInSubmissionOrder) {
    Installation installation;
    installation.writeScript(echoingScript);
    const auto missing = installation.path() / "missing folder";
    QueuedMainThread mainThread;
    std::vector<Completion> completions;
    const auto record = [&](ControlReply reply) {
        completions.push_back({std::move(reply), std::this_thread::get_id()});
    };
    {
        ScriptControlQueue queue(mainThread);
        queue.perform(installation.path(), "first", record);
        queue.perform(missing, "status", record);
        queue.perform(installation.path(), "second", record);
        queue.perform(installation.path(), "third", record);
        EXPECT_TRUE(completions.empty()) << "perform must only submit";
        EXPECT_EQ(mainThread.runPosted(4), 4u);
        EXPECT_EQ(mainThread.runPosted(5, 200ms), 4u) << "more than one completion for a call";
    }
    ASSERT_EQ(completions.size(), 4u);
    EXPECT_EQ(completions[0].reply, (ControlReply{{"ok", true}, {"verb", "first"}}));
    EXPECT_EQ(completions[1].reply["ok"], false);
    EXPECT_EQ(completions[2].reply, (ControlReply{{"ok", true}, {"verb", "second"}}));
    EXPECT_EQ(completions[3].reply, (ControlReply{{"ok", true}, {"verb", "third"}}));
    const auto posters = mainThread.postingThreads();
    ASSERT_EQ(posters.size(), completions.size());
    for (std::size_t i = 0; i < completions.size(); ++i) {
        EXPECT_EQ(completions[i].thread, std::this_thread::get_id()) << "completion " << i;
        EXPECT_NE(posters[i], std::this_thread::get_id()) << "reply " << i << " not from worker";
        EXPECT_EQ(posters[i], posters[0]) << "replies from more than one worker";
    }
}

TEST(ScriptControlQueue, FinishesSubmittedCommandsWhenDestroyed) {
    Installation installation;
    installation.writeScript(echoingScript);
    QueuedMainThread mainThread;
    int completions = 0;
    {
        ScriptControlQueue queue(mainThread);
        queue.perform(installation.path(), "first", [&](ControlReply) { ++completions; });
        queue.perform(installation.path(), "third", [&](ControlReply) { ++completions; });
    }
    EXPECT_EQ(mainThread.runPosted(2, 0ms), 2u);
    EXPECT_EQ(completions, 2);
}

TEST(ScriptControlQueue, ReleasesTheCompletionOnTheMainThread) {
    Installation installation;
    installation.writeScript(echoingScript);
    QueuedMainThread mainThread;
    ScriptControlQueue queue(mainThread);
    // The completion's captures (in the program, a weak reference to the controller) die where
    // they were made, never on the worker.
    struct Witness {
        std::thread::id* diedOn;
        ~Witness() { *diedOn = std::this_thread::get_id(); }
    };
    std::thread::id diedOn;
    auto witness = std::make_shared<Witness>(&diedOn);
    queue.perform(installation.path(), "third", [witness](ControlReply) {});
    witness.reset();
    ASSERT_EQ(mainThread.runPosted(1), 1u);
    EXPECT_EQ(diedOn, std::this_thread::get_id());
}

}  // namespace
}  // namespace quorvel
