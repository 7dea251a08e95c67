#include "control/script_control_queue.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "tests/control/installation.h"

namespace quorvel {
namespace {

// Posted tasks wait until the test runs them on its own thread; they must come from elsewhere.
struct QueuedMainThread : MainThread {
    void post(std::function<void()> task) override {
        EXPECT_NE(std::this_thread::get_id(), testThread) << "a command ran on the main thread";
        tasks.push_back(std::move(task));
    }
    const std::thread::id testThread = std::this_thread::get_id();
    std::vector<std::function<void()>> tasks;
};

TEST(ScriptControlQueue, RunsCommandsOneAtATimeAndRepliesOnceEachInOrderOnTheMainThread) {
    testing::Installation installation;
    // Each verb sleeps less than the one before, so commands run side by side would finish out of
    // order.
    installation.writeScript(R"(
const verb = process.argv[2];
setTimeout(() => console.log(JSON.stringify({verb})), {first: 300, second: 150}[verb] || 0);
)");
    QueuedMainThread mainThread;
    std::vector<ControlReply> replies;
    const auto record = [&](ControlReply reply) {
        EXPECT_EQ(std::this_thread::get_id(), mainThread.testThread);
        replies.push_back(std::move(reply));
    };
    {
        ScriptControlQueue queue(mainThread);
        queue.perform(installation.path(), "first", record);
        queue.perform(installation.path() / "missing folder", "status", record);
        queue.perform(installation.path(), "second", record);
        queue.perform(installation.path(), "third", record);
        EXPECT_TRUE(replies.empty());
    }  // Destroying the queue finishes what was submitted.
    for (const auto& task : mainThread.tasks) {
        task();
    }
    EXPECT_EQ(replies, (std::vector<ControlReply>{
                           {{"verb", "first"}},
                           {{"ok", false}, {"error", "No such file or directory"}},
                           {{"verb", "second"}},
                           {{"verb", "third"}},
                       }));
}

}  // namespace
}  // namespace quorvel
