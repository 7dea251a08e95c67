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
    EXPECT_THAT(
        desktop.events,
        ElementsAre("runningCopies org.quorvel.connect.menu", "becomeAccessory", "addStatusItem",
                    "setImage waveform.circle QUORVEL Connect", "addRow Checking… (disabled)",
                    "addRow  (disabled)", "addRow -", "addRow Start QUORVEL Connect",
                    "addRow Stop QUORVEL Connect…", "addRow -", "addRow Open Dashboard",
                    "addRow Show Listener QR Code", "addRow -",
                    "addRow Start automatically when I sign in (check mark)", "addRow Open Logs",
                    "addRow -", "addRow Quit QUORVEL Connect…", "setMenu", "setAutoenablesItems 0",
                    "perform status", "scheduleRepeating 5000ms"));
    EXPECT_EQ(desktop.iconToolTip, "QUORVEL Connect");
    EXPECT_EQ(desktop.scriptFolder, "/opt/QUORVEL Connect");
}

// Only "--auto-start" as a whole argument asks for a start, sent once after the first status reply
// whatever that said. The icons here have no button, which nothing may reach for.
TEST(StartUpTest, AutoStartSendsOneStartAfterTheFirstReply) {
    const struct {
        std::vector<std::string> arguments;
        int starts;
    } cases[] = {
        {{"quorvel-connect", "--auto-start"}, 1},
        {{"quorvel-connect", "--verbose", "--auto-start", "later"}, 1},
        {{"quorvel-connect"}, 0},
        {{"quorvel-connect", "--auto-start=1"}, 0},
    };
    for (const auto& c : cases) {
        FakeDesktop desktop;
        desktop.hasButton = false;
        desktop.launch(c.arguments);
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

// With "--auto-start" the owed start follows the first reply, and a choice made during that poll
// (the rows are enabled until its reply) is then dropped, as is any choice while a command runs,
// even from a menu drawn before the rows were disabled: it is neither confirmed nor run after the
// next poll. Ticks send nothing meanwhile; the logs folder opens at once.
TEST(StartUpTest, AChoiceWhileACommandRunsIsDropped) {
    const ControlReply stopped =
        R"({"ok": true, "state": "Stopped", "configured": true, "owned": [true]})"_json;
    FakeDesktop desktop;
    desktop.launch({"quorvel-connect", "--auto-start"});
    desktop.events.clear();
    desktop.tick();
    desktop.choose("Start QUORVEL Connect");
    desktop.choose("Open Logs");
    desktop.reply(stopped);
    desktop.tick();
    for (const int staleRow : {3, 4, 9, 12}) {
        desktop.rows[staleRow]->action();
    }
    desktop.reply(stopped);
    desktop.tick();
    desktop.reply(stopped);
    EXPECT_THAT(desktop.events,
                ElementsAre("open /opt/QUORVEL Connect/logs", "perform start", "perform status"));
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
