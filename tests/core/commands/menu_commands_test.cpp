#include <gmock/gmock.h>

#include "tests/core/controller_test.h"

namespace quorvel::fakes {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using MenuCommandsTest = ControllerTest;

constexpr const char* generalStopText =
    "This stops all language streams and disconnects any listeners. The app will stay stopped "
    "until you start it again, or until your next sign-in if automatic startup is enabled.";

TEST_F(MenuCommandsTest, StopConfirmationNamesAPositiveListenerCount) {
    const struct {
        const char* listeners;
        std::string informativeText;
    } cases[] = {
        {"1",
         "1 listeners were connected at the last check. Stopping disconnects listeners and stops "
         "all language streams."},
        {"12",
         "12 listeners were connected at the last check. Stopping disconnects listeners and stops "
         "all language streams."},
        {"null", generalStopText},
        {"0", generalStopText},
        {"-4", generalStopText},
        {"\"3\"", generalStopText},
        {"2.5", generalStopText},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.listeners);
        ControllerHarness controller;
        controller.launchShowing(std::string(R"({"ok": true, "owned": [true], "listeners": )") +
                                 c.listeners + "}");
        controller.desktop.answerNextAlert(0);
        controller.desktop.choose("Stop QUORVEL Connect…");

        EXPECT_THAT(controller.eventsStartingWith({"bringToFront", "alert"}),
                    ElementsAre("bringToFront", "alert Stop QUORVEL Connect?"));
        ASSERT_EQ(controller.desktop.alerts().size(), 1u);
        const Alert& alert = controller.desktop.alerts()[0];
        EXPECT_EQ(alert.informativeText, c.informativeText);
        EXPECT_THAT(alert.buttons, ElementsAre("Cancel", "Stop QUORVEL Connect"));
    }
}

TEST_F(MenuCommandsTest, OnlyTheSecondButtonStops) {
    const struct {
        std::optional<std::size_t> answer;
        bool stops;
    } cases[] = {{0, false}, {std::nullopt, false}, {1, true}};
    for (const auto& c : cases) {
        ControllerHarness controller;
        controller.launchShowing(R"({"ok": true, "state": "Running", "owned": [true]})");
        controller.desktop.answerNextAlert(c.answer);
        controller.desktop.choose("Stop QUORVEL Connect…");

        const std::vector<std::string> expected = c.stops
                                                      ? std::vector<std::string>{"status", "stop"}
                                                      : std::vector<std::string>{"status"};
        EXPECT_EQ(controller.script.verbs(), expected);
        EXPECT_EQ(controller.desktop.headline(),
                  c.stops ? "QUORVEL Connect · Stopping…" : "QUORVEL Connect · Running");
    }
}

TEST_F(MenuCommandsTest, StopWhileBusyShowsNothing) {
    launchShowing(R"({"ok": true, "state": "Running", "owned": [true]})");
    desktop.fireTimer();
    desktop.choose("Stop QUORVEL Connect…");

    EXPECT_THAT(desktop.alerts(), IsEmpty());
    EXPECT_THAT(script.verbs(), ElementsAre("status", "status"));
}

TEST_F(MenuCommandsTest, ToggleAutomaticTurnsOffOnlyWhatIsReallyOn) {
    const struct {
        const char* automatic;
        const char* verb;
    } cases[] = {
        {"true", "auto-off"},    {"false", "auto-on"}, {"null", "auto-on"},
        {"\"true\"", "auto-on"}, {"1", "auto-on"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.automatic);
        ControllerHarness controller;
        controller.launchShowing(std::string(R"({"ok": true, "configured": true, "automatic": )") +
                                 c.automatic + "}");
        controller.desktop.choose("Start automatically when I sign in");

        EXPECT_THAT(controller.script.verbs(), ElementsAre("status", c.verb));
        EXPECT_EQ(controller.desktop.headline(), "QUORVEL Connect · Saving…");
    }
}

TEST_F(MenuCommandsTest, QuitWithNothingOwnedEndsAtOnce) {
    for (const char* owned : {"null", "[]", "[false, false]", "true", "[1]", "[true, \"x\"]"}) {
        SCOPED_TRACE(owned);
        ControllerHarness controller;
        controller.launchShowing(std::string(R"({"ok": true, "state": "Running", "owned": )") +
                                 owned + "}");
        controller.desktop.choose("Quit QUORVEL Connect…");

        EXPECT_EQ(controller.desktop.terminations(), 1);
        EXPECT_THAT(controller.desktop.alerts(), IsEmpty());
        EXPECT_THAT(controller.script.verbs(), ElementsAre("status"));
    }
}

// With something owned, quitting asks first and ends only after a successful stop.
TEST_F(MenuCommandsTest, QuitWithSomethingOwnedStopsFirst) {
    const struct {
        const char* owned;
        std::optional<std::size_t> answer;
        const char* stopReply;  // null: no stop is sent
        int terminations;
    } cases[] = {
        {"[true]", 0, nullptr, 0},
        {"[false, true]", std::nullopt, nullptr, 0},
        {"[false, true]", 1, R"({"ok": false, "error": "Could not stop."})", 0},
        {"[true]", 1, R"({"ok": true, "state": "Stopped"})", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.owned);
        ControllerHarness controller;
        controller.launchShowing(std::string(R"({"ok": true, "state": "Running", "owned": )") +
                                 c.owned + "}");
        controller.desktop.answerNextAlert(c.answer);
        controller.desktop.choose("Quit QUORVEL Connect…");
        if (c.stopReply != nullptr) {
            EXPECT_THAT(controller.script.verbs(), ElementsAre("status", "stop"));
            controller.desktop.answerNextAlert(std::nullopt);  // for a failure alert, if any
            controller.reply(c.stopReply);
        } else {
            EXPECT_THAT(controller.script.verbs(), ElementsAre("status"));
        }
        EXPECT_EQ(controller.desktop.alerts().front().messageText, "Stop QUORVEL Connect?");
        EXPECT_EQ(controller.desktop.terminations(), c.terminations);
    }
}

TEST_F(MenuCommandsTest, PagesOpenTheServiceAddresses) {
    launchShowing(R"({"ok": true, "state": "Running", "owned": [false, true]})");
    desktop.choose("Open Dashboard");
    desktop.choose("Show Listener QR Code");

    EXPECT_THAT(desktop.openedUrls(),
                ElementsAre("http://127.0.0.1:8080/admin", "http://127.0.0.1:8080/admin/qr-code"));
    EXPECT_THAT(script.verbs(), ElementsAre("status"));
}

// The base directory is the folder that holds the program, looked up on every use.
TEST_F(MenuCommandsTest, LogsAndCommandsUseTheFolderHoldingTheProgram) {
    const struct {
        const char* program;
        const char* folder;
    } cases[] = {
        {"/opt/QUORVEL Connect/quorvel-connect", "/opt/QUORVEL Connect"},
        {"/home/zoë/Apps/QUORVEL Connect.AppImage", "/home/zoë/Apps"},
        {"/Applications/QUORVEL/QUORVEL Connect.app", "/Applications/QUORVEL"},
        {"/Applications/QUORVEL/QUORVEL Connect.app/", "/Applications/QUORVEL"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program);
        ControllerHarness controller;
        controller.launchShowing(R"({"ok": false})");
        controller.desktop.setProgramLocation(c.program);
        controller.desktop.choose("Open Logs");
        controller.desktop.fireTimer();

        EXPECT_THAT(controller.desktop.openedFolders(),
                    ElementsAre(std::filesystem::path(c.folder) / "logs"));
        EXPECT_EQ(controller.script.requests().back().baseDirectory, c.folder);
    }
}

}  // namespace
}  // namespace quorvel::fakes
