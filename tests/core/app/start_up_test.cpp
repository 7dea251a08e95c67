#include <gmock/gmock.h>

#include "tests/core/controller_test.h"

namespace quorvel::fakes {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using StartUpTest = ControllerTest;

TEST_F(StartUpTest, SecondCopyEndsSilentlyEvenWhenAskedToStart) {
    for (const int copies : {2, 3}) {
        ControllerHarness copy;
        copy.desktop.setRunningCopies(copies);
        copy.launch({"quorvel-connect", "--auto-start"});

        EXPECT_THAT(copy.desktop.events(),
                    ElementsAre("runningCopies org.quorvel.connect.menu", "terminate"));
        EXPECT_EQ(copy.desktop.statusItemsCreated(), 0);
        EXPECT_THAT(copy.script.requests(), IsEmpty());
        EXPECT_THAT(copy.desktop.alerts(), IsEmpty());
        EXPECT_FALSE(copy.desktop.timerInterval());
    }
}

TEST_F(StartUpTest, BuildsTheMenuThenPollsAtOnceThenStartsTheTimer) {
    launch();

    EXPECT_THAT(
        eventsStartingWith({"runningCopies", "becomeAccessory", "addStatusItem", "setMenu",
                            "perform", "scheduleRepeating", "terminate"}),
        ElementsAre("runningCopies org.quorvel.connect.menu", "becomeAccessory", "addStatusItem",
                    "setMenu", "perform status", "scheduleRepeating 5000ms"));
    EXPECT_EQ(desktop.timerInterval(), std::chrono::seconds(5));
    EXPECT_EQ(desktop.terminations(), 0);
}

TEST_F(StartUpTest, BeforeTheFirstReplyTheMenuSaysChecking) {
    launch();

    const RowView separator{"", false, false, std::nullopt, true};
    const auto command = [](std::string title) { return RowView{title, true, false, {}, false}; };
    EXPECT_THAT(desktop.openMenu(),
                ElementsAre(RowView{"Checking…", false, false, {}, false},
                            RowView{"", false, false, {}, false}, separator,
                            command("Start QUORVEL Connect"), command("Stop QUORVEL Connect…"),
                            separator, command("Open Dashboard"), command("Show Listener QR Code"),
                            separator, command("Start automatically when I sign in"),
                            command("Open Logs"), separator, command("Quit QUORVEL Connect…")));

    const auto icon = desktop.icon();
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->symbol, "waveform.circle");
    EXPECT_EQ(icon->accessibleName, "QUORVEL Connect");
    EXPECT_EQ(icon->toolTip, "QUORVEL Connect");
}

TEST_F(StartUpTest, AnIconWithoutAButtonStillGetsItsMenu) {
    desktop.setStatusItemsHaveButtons(false);
    launchShowing(R"({"ok": true, "state": "Running", "detail": "on port 8080"})");

    const auto icon = desktop.icon();
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->symbol, "");
    EXPECT_EQ(icon->toolTip, std::nullopt);
    EXPECT_EQ(desktop.headline(), "QUORVEL Connect · Running");
}

TEST_F(StartUpTest, TicksPollOnlyWhenNothingIsInFlight) {
    launch();
    desktop.fireTimer();
    desktop.fireTimer();
    EXPECT_EQ(script.inFlight(), 1u);

    reply(R"({"ok": true, "state": "Running"})");
    desktop.fireTimer();
    EXPECT_THAT(script.verbs(), ElementsAre("status", "status"));
}

// Which command lines ask for one start after the first status reply.
TEST_F(StartUpTest, AutoStartOptionMustBeTheWholeArgument) {
    const struct {
        std::vector<std::string> arguments;
        bool startsOnce;
    } cases[] = {
        {{"quorvel-connect", "--auto-start"}, true},
        {{"quorvel-connect", "--verbose", "--auto-start", "later"}, true},
        {{"quorvel-connect"}, false},
        {{"quorvel-connect", "--auto-start=1"}, false},
        {{"quorvel-connect", "--Auto-Start"}, false},
        {{"quorvel-connect", "-auto-start"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        ControllerHarness controller;
        controller.launch(c.arguments);
        controller.reply(R"({"ok": true, "state": "Stopped"})");
        const std::vector<std::string> expected = c.startsOnce
                                                      ? std::vector<std::string>{"status", "start"}
                                                      : std::vector<std::string>{"status"};
        EXPECT_EQ(controller.script.verbs(), expected);
    }
}

// The start is owed whatever the first reply says, and only once.
TEST_F(StartUpTest, AutoStartSendsExactlyOneStartAfterTheFirstReply) {
    for (const char* firstReply : {R"({"ok": false, "error": "no node"})",
                                   R"({"ok": true, "state": "Running", "owned": [true, true]})"}) {
        SCOPED_TRACE(firstReply);
        ControllerHarness controller;
        controller.launch({"quorvel-connect", "--auto-start"});

        controller.reply(firstReply);
        EXPECT_EQ(controller.desktop.headline(), "QUORVEL Connect · Starting…");
        controller.reply(R"({"ok": true, "state": "Running"})");
        for (int tick = 0; tick < 3; ++tick) {
            controller.poll(R"({"ok": false})");
        }
        EXPECT_THAT(controller.script.verbs(),
                    ElementsAre("status", "start", "status", "status", "status"));
    }
}

}  // namespace
}  // namespace quorvel::fakes
