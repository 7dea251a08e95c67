#include <gmock/gmock.h>

#include <chrono>
#include <memory>

#include "app/app_delegate.h"
#include "control/runner_replies.h"
#include "control/script_control_queue.h"
#include "tests/control/installation.h"
#include "tests/support/recording_platform.h"

namespace quorvel::fakes {
namespace {

using namespace std::chrono_literals;

// The controller over the real control queue, running node scripts written into a temporary
// installation beside the program.
class ControllerWithScriptTest : public ::testing::Test {
  protected:
    void launch(const char* script) {
        installation.writeScript(script);
        desktop.setProgramLocation(installation.path() / "quorvel-connect");
        delegate =
            AppDelegate::create(platform, std::make_unique<ScriptControlQueue>(platform.mainThread),
                                std::vector<std::string>{"quorvel-connect"});
        delegate->applicationDidFinishLaunching();
    }

    // Runs main-thread tasks as they arrive until `done` holds; false if it never does.
    template <typename Predicate>
    bool runUntil(Predicate done) {
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (!done()) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left <= 0ms || !desktop.waitForPosted(left)) {
                return false;
            }
            desktop.runPosted();
        }
        return true;
    }

    bool runUntilHeadline(const std::string& headline) {
        return runUntil([&] { return desktop.headline() == headline; });
    }

    RecordingPlatform desktop;
    Platform platform = desktop.platform();
    testing::Installation installation;
    std::shared_ptr<AppDelegate> delegate;  // last: its queue finishes before the rest goes
};

TEST_F(ControllerWithScriptTest, StatusFromTheScriptIsDrawn) {
    launch(R"(
console.log(JSON.stringify({ok: true, state: "Running", listeners: 2, owned: [true, true],
                            detail: process.cwd() + " " + process.argv[2]}));
)");
    ASSERT_TRUE(runUntilHeadline("QUORVEL Connect · Running"));

    const RowView detail = desktop.detailRow();
    EXPECT_EQ(detail.title, "2 connected listeners");
    EXPECT_EQ(detail.toolTip, installation.path().string() + " status");
}

TEST_F(ControllerWithScriptTest, GarbageFromTheScriptNeedsAttention) {
    launch(R"(console.log("Listening on 8080");)");
    ASSERT_TRUE(runUntilHeadline("QUORVEL Connect · Needs attention"));

    EXPECT_EQ(desktop.detailRow().toolTip, unreadableOutputReply()["error"]);
    EXPECT_EQ(desktop.icon()->toolTip, unreadableOutputReply()["error"]);
}

TEST_F(ControllerWithScriptTest, FailedStartShowsTheAlertAndPollsAgain) {
    launch(R"(
const verb = process.argv[2];
console.log(JSON.stringify(verb === "status"
    ? {ok: true, state: "Stopped", configured: true}
    : {ok: false, error: "Port 8080 is in use."}));
)");
    ASSERT_TRUE(runUntilHeadline("QUORVEL Connect · Stopped"));
    desktop.answerNextAlert(std::nullopt);
    desktop.choose("Start QUORVEL Connect");
    EXPECT_EQ(desktop.headline(), "QUORVEL Connect · Starting…");

    ASSERT_TRUE(runUntil([&] { return !desktop.alerts().empty(); }));
    EXPECT_EQ(desktop.alerts()[0].messageText, "QUORVEL Connect needs attention");
    EXPECT_EQ(desktop.alerts()[0].informativeText, "Port 8080 is in use.");
    EXPECT_TRUE(runUntilHeadline("QUORVEL Connect · Stopped"));
    EXPECT_EQ(desktop.alerts().size(), 1u);
}

TEST_F(ControllerWithScriptTest, ReplyAfterTheControllerIsGoneDoesNothing) {
    launch(R"(setTimeout(() => console.log(JSON.stringify({ok: true, state: "Running"})), 200);)");
    delegate.reset();  // waits for the running command; its reply is posted, not yet run
    const auto eventsBefore = desktop.events().size();
    EXPECT_EQ(desktop.runPosted(), 1u);
    EXPECT_EQ(desktop.events().size(), eventsBefore);
}

}  // namespace
}  // namespace quorvel::fakes
