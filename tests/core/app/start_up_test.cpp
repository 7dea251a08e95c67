#include <gmock/gmock.h>

#include <algorithm>

#include "tests/support/fake_desktop.h"

namespace quorvel::fakes {

using ::testing::ElementsAre;

TEST(StartUpTest, SecondCopyEndsSilentlyEvenWhenAskedToStart) {
    FakeDesktop desktop;
    desktop.copies = 2;
    desktop.launch({"quorvel-connect", "--auto-start"});
    EXPECT_THAT(desktop.events, ElementsAre("runningCopies org.quorvel.connect.menu", "terminate"));
}

TEST(StartUpTest, BuildsTheMenuThenPollsAtOnceThenStartsTheTimer) {
    FakeDesktop desktop;
    desktop.launch();
    EXPECT_THAT(desktop.events,
                ElementsAre("runningCopies org.quorvel.connect.menu", "becomeAccessory",
                            "addStatusItem", "setImage waveform.circle QUORVEL Connect", "setMenu",
                            "setAutoenablesItems 0", "perform status", "scheduleRepeating 5000ms"));
    EXPECT_EQ(desktop.iconToolTip, "QUORVEL Connect");
    // A tray host decides once, when it first reads a row, whether it can carry a mark.
    EXPECT_EQ(desktop.row("Start automatically when I sign in").kind, RowKind::checkMark);
    EXPECT_EQ(desktop.scriptFolder, "/opt/QUORVEL Connect");
}

// Only "--auto-start" as a whole argument asks for a start, sent once, whatever the first status
// reply said, once that reply is drawn: its progress title shows over the reply's detail.
TEST(StartUpTest, AutoStartSendsOneStartAfterTheFirstReplyIsDrawn) {
    const struct {
        std::vector<std::string> arguments;
        std::string headline;
        int starts;
    } cases[] = {
        {{"quorvel-connect", "--auto-start"}, "Starting…", 1},
        {{"quorvel-connect", "--verbose", "--auto-start", "later"}, "Starting…", 1},
        {{"quorvel-connect"}, "Running", 0},
        {{"quorvel-connect", "--auto-start=1"}, "Running", 0},
    };
    for (const auto& c : cases) {
        FakeDesktop desktop;
        desktop.launch(c.arguments);
        desktop.reply(R"({"ok": true, "state": "Running", "listeners": 2})"_json);
        EXPECT_EQ(desktop.headline().text + "|" + desktop.detail().text,
                  "QUORVEL Connect · " + c.headline + "|2 connected listeners");
        for (int tick = 0; tick < 3; ++tick) {
            for (int replies = 0; replies < 5 && !desktop.pending.empty(); ++replies) {
                desktop.reply(R"({"ok": false})"_json);
            }
            desktop.tick();
        }
        EXPECT_EQ(std::ranges::count(desktop.events, "perform start"), c.starts)
            << c.arguments.back();
    }
}

// With "--auto-start" the owed start follows the first reply, and a command chosen during that
// poll (the rows are enabled until its reply) is then dropped, as is any choice while a command
// runs, even from a menu drawn before the rows were disabled: none is confirmed, nor run after the
// next poll. Ticks send nothing meanwhile; the logs folder opens at once, as does a quit with
// nothing known to be owned.
TEST(StartUpTest, AChoiceWhileACommandRunsIsDropped) {
    const ControlReply stopped =
        R"({"ok": true, "state": "Stopped", "configured": true, "owned": [true]})"_json;
    const std::vector<std::string> rows = {"Start QUORVEL Connect", "Stop QUORVEL Connect…",
                                           "Start automatically when I sign in",
                                           "Quit QUORVEL Connect…"};
    for (const std::string& chosen : rows) {
        FakeDesktop desktop;
        desktop.answer = 1;
        desktop.launch({"quorvel-connect", "--auto-start"});
        desktop.events.clear();
        desktop.tick();
        desktop.choose(chosen);
        desktop.choose("Open Logs");
        desktop.reply(stopped);
        desktop.tick();
        for (const std::string& stale : rows) {
            desktop.row(stale).action();
        }
        desktop.reply(stopped);
        desktop.tick();
        desktop.reply(stopped);
        std::vector<std::string> expected = {"open /opt/QUORVEL Connect/logs", "perform start",
                                             "perform status"};
        if (chosen == rows.back()) {
            expected.insert(expected.begin(), "terminate");
        }
        EXPECT_EQ(desktop.events, expected) << chosen;
    }
}

// A stop reply owed a termination, or a status reply owed a quit chosen during the poll: once the
// controller is gone, nothing happens.
TEST(StartUpTest, ReplyAfterTheControllerIsGoneDoesNothing) {
    for (const bool duringPoll : {false, true}) {
        FakeDesktop desktop;
        desktop.launch();
        desktop.reply(R"({"ok": true, "owned": [true]})"_json);
        desktop.answer = 1;
        if (duringPoll) {
            desktop.tick();
        }
        desktop.choose("Quit QUORVEL Connect…");
        const std::vector<std::string> before = desktop.events;
        desktop.delegate.reset();
        desktop.reply(R"({"ok": true})"_json);
        EXPECT_EQ(desktop.events, before);
    }
}

}  // namespace quorvel::fakes
