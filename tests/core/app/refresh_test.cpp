#include <gmock/gmock.h>

#include "tests/core/controller_test.h"

namespace quorvel::fakes {
namespace {

using ::testing::ElementsAre;

using RefreshTest = ControllerTest;

constexpr const char* everythingOn =
    R"({"ok": true, "state": "Running", "listeners": 3, "detail": "Serving", "owned": [true, true],
        "configured": true, "automatic": true})";

// A status reply that is not ok replaces everything with "Needs attention": nothing of the reply
// or of the earlier state is drawn, and only a string "error" becomes the tooltip.
TEST_F(RefreshTest, ReplyThatIsNotOkShowsOnlyTheAttentionState) {
    const struct {
        const char* reply;
        std::optional<std::string> toolTip;
    } cases[] = {
        {R"({"ok": false, "error": "Script failed", "state": "Running", "listeners": 3,
             "owned": [true, true], "configured": true, "automatic": true})",
         "Script failed"},
        {R"({"ok": "true", "error": "ok as text"})", "ok as text"},
        {R"({"ok": 1, "state": "Running"})", "Unable to read status"},
        {R"({"ok": [true]})", "Unable to read status"},
        {R"({"ok": null, "listeners": 2})", "Unable to read status"},
        {R"({"state": "Running", "listeners": 2})", "Unable to read status"},
        {R"({})", "Unable to read status"},
        {R"({"ok": false, "error": 42})", std::nullopt},
        {R"({"ok": false, "error": null})", std::nullopt},
        {R"({"ok": false, "error": {"text": "nested"}})", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        ControllerHarness controller;
        controller.launchShowing(everythingOn);
        controller.poll(c.reply);

        const std::vector<RowView> rows = controller.desktop.openMenu();
        EXPECT_EQ(rows[0].title, "QUORVEL Connect · Needs attention");
        EXPECT_EQ(rows[1], (RowView{"Listener count unavailable", false, false, c.toolTip, false}));
        EXPECT_EQ(controller.desktop.icon()->toolTip, c.toolTip.value_or("Needs attention"));
        for (const RowView& row : rows) {
            if (!row.separator && row.title != rows[0].title && row.title != rows[1].title) {
                const bool stillEnabled =
                    row.title == "Open Logs" || row.title == "Quit QUORVEL Connect…";
                EXPECT_EQ(row.enabled, stillEnabled) << row;
                EXPECT_FALSE(row.checked) << row;
            }
        }

        // Nothing is owned any more, so quitting asks nothing and stops nothing.
        controller.desktop.choose("Quit QUORVEL Connect…");
        EXPECT_EQ(controller.desktop.terminations(), 1);
        EXPECT_THAT(controller.script.verbs(), ElementsAre("status", "status"));
    }
}

TEST_F(RefreshTest, TickDuringAnActionSendsNothing) {
    launchShowing(R"({"ok": true, "state": "Stopped", "configured": true})");
    desktop.choose("Start QUORVEL Connect");
    desktop.fireTimer();
    EXPECT_THAT(script.verbs(), ElementsAre("status", "start"));

    reply(R"({"ok": true, "state": "Running"})");
    desktop.fireTimer();
    EXPECT_THAT(script.verbs(), ElementsAre("status", "start", "status"));
}

// Replies that arrive after the controller is gone change nothing and start nothing.
TEST_F(RefreshTest, ReplyAfterTheControllerIsGoneDoesNothing) {
    launch({"quorvel-connect", "--auto-start"});
    delegate.reset();
    const auto eventsBefore = desktop.events().size();
    reply(R"({"ok": true, "state": "Stopped"})");
    EXPECT_EQ(desktop.events().size(), eventsBefore);
    EXPECT_THAT(script.verbs(), ElementsAre("status"));
}

TEST_F(RefreshTest, ActionReplyAfterTheControllerIsGoneDoesNothing) {
    for (const char* stopReply :
         {R"({"ok": true, "state": "Stopped"})", R"({"ok": false, "error": "stop failed"})"}) {
        SCOPED_TRACE(stopReply);
        ControllerHarness controller;
        controller.launchShowing(R"({"ok": true, "state": "Running", "owned": [true]})");
        controller.desktop.answerNextAlert(1);
        controller.desktop.choose("Quit QUORVEL Connect…");
        controller.delegate.reset();
        const auto eventsBefore = controller.desktop.events().size();

        controller.reply(stopReply);
        EXPECT_EQ(controller.desktop.events().size(), eventsBefore);
        EXPECT_EQ(controller.desktop.terminations(), 0);
        EXPECT_THAT(controller.script.verbs(), ElementsAre("status", "stop"));
    }
}

}  // namespace
}  // namespace quorvel::fakes
