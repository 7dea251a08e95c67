#include <gmock/gmock.h>

#include <algorithm>

#include "tests/core/controller_test.h"

namespace quorvel::fakes {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using ActionTest = ControllerTest;

constexpr const char* stoppedAndOwned =
    R"({"ok": true, "state": "Stopped", "listeners": 7, "detail": "Idle", "owned": [true, true],
        "configured": true})";

TEST_F(ActionTest, RefusedSilentlyWhileAPollIsInFlight) {
    launch();
    // Before the first reply every command row is still enabled, but the start-up poll is busy.
    desktop.choose("Start QUORVEL Connect");
    desktop.choose("Start automatically when I sign in");

    EXPECT_THAT(script.verbs(), ElementsAre("status"));
    EXPECT_EQ(desktop.headline(), "Checking…");
    EXPECT_THAT(desktop.alerts(), IsEmpty());
}

// A quit confirmed while a poll is in flight is dropped, and its termination never happens.
TEST_F(ActionTest, DroppedActionNeverRunsItsContinuation) {
    launchShowing(stoppedAndOwned);
    desktop.fireTimer();
    desktop.answerNextAlert(1);
    desktop.choose("Quit QUORVEL Connect…");
    reply(R"({"ok": true, "state": "Stopped", "owned": [true, true]})");

    EXPECT_THAT(script.verbs(), ElementsAre("status", "status"));
    EXPECT_EQ(desktop.terminations(), 0);
    EXPECT_EQ(desktop.headline(), "QUORVEL Connect · Stopped");
}

TEST_F(ActionTest, SuccessReplacesTheStateWholesaleAndAsksForNoStatus) {
    launchShowing(stoppedAndOwned);
    desktop.choose("Start QUORVEL Connect");
    reply(R"({"ok": true, "state": "Running"})");

    EXPECT_EQ(desktop.headline(), "QUORVEL Connect · Running");
    EXPECT_EQ(desktop.detailRow(),
              (RowView{"Listener count unavailable", false, false, std::nullopt, false}));
    EXPECT_EQ(desktop.icon()->toolTip, "Running");
    EXPECT_THAT(script.verbs(), ElementsAre("status", "start"));
    EXPECT_THAT(desktop.alerts(), IsEmpty());
}

TEST_F(ActionTest, ContinuationRunsAfterTheNewStateIsDrawn) {
    launchShowing(stoppedAndOwned);
    desktop.answerNextAlert(1);
    desktop.choose("Quit QUORVEL Connect…");
    reply(R"({"ok": true, "state": "Stopped", "owned": []})");

    EXPECT_THAT(eventsStartingWith({"title QUORVEL Connect", "terminate"}),
                ElementsAre("title QUORVEL Connect · Stopped", "title QUORVEL Connect · Stopped",
                            "title QUORVEL Connect · Stopping…", "title QUORVEL Connect · Stopped",
                            "terminate"));
    EXPECT_EQ(desktop.terminations(), 1);
}

// A failed command keeps what was shown, brings the application forward, says why, and then asks
// for a fresh status.
TEST_F(ActionTest, FailureShowsTheAlertThenPollsOnce) {
    const struct {
        const char* reply;
        const char* informativeText;
    } cases[] = {
        {R"({"ok": false, "error": "Port 8080 is in use.", "listeners": 9})",
         "Port 8080 is in use."},
        {R"({"ok": false})", "The action did not complete."},
        {R"({"ok": false, "error": 42})", "The action did not complete."},
        {R"({"ok": false, "error": ""})", ""},
        {R"({"ok": "true", "error": "ok as text", "state": "Running"})", "ok as text"},
        {R"({})", "The action did not complete."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        ControllerHarness controller;
        controller.launchShowing(stoppedAndOwned);
        controller.desktop.choose("Start QUORVEL Connect");
        const auto before = controller.desktop.events().size();
        controller.desktop.answerNextAlert(std::nullopt);
        controller.reply(c.reply);

        const std::vector<std::string> after(controller.desktop.events().begin() + before,
                                             controller.desktop.events().end());
        EXPECT_THAT(after, ElementsAre("bringToFront", "alert QUORVEL Connect needs attention",
                                       "perform status"));
        ASSERT_EQ(controller.desktop.alerts().size(), 1u);
        const Alert& alert = controller.desktop.alerts()[0];
        EXPECT_EQ(alert.informativeText, c.informativeText);
        EXPECT_THAT(alert.buttons, IsEmpty());
        EXPECT_EQ(controller.desktop.headline(), "QUORVEL Connect · Starting…");
        EXPECT_EQ(controller.desktop.detailRow().title, "7 connected listeners");

        controller.reply(R"({"ok": true, "state": "Stopped", "configured": true})");
        EXPECT_EQ(controller.desktop.headline(), "QUORVEL Connect · Stopped");
        EXPECT_THAT(controller.script.verbs(), ElementsAre("status", "start", "status"));
    }
}

TEST_F(ActionTest, FailureSendsNoStatusWhenACommandStartedDuringTheAlert) {
    launchShowing(stoppedAndOwned);
    desktop.choose("Start QUORVEL Connect");
    desktop.answerNextAlert(std::nullopt, [this] { desktop.fireTimer(); });
    reply(R"({"ok": false, "error": "no"})");

    EXPECT_THAT(script.verbs(), ElementsAre("status", "start", "status"));
    EXPECT_EQ(script.inFlight(), 1u);
}

}  // namespace
}  // namespace quorvel::fakes
