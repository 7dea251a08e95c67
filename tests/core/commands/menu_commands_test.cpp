#include <gtest/gtest.h>

#include "tests/support/fake_desktop.h"

namespace quorvel::fakes {

// What choosing a row does, from the menu drawn for `status` (an ok reply), every alert answered
// with `answer` and the command sent, if any, answered with `reply`: the headline shown at the end,
// then everything that happened. With a `poll`, the row and then Start are chosen while a status
// poll is in flight, which then answers with `poll`. The program is a bundle reported with a
// trailing separator; the logs folder lies beside the bundle.
TEST(MenuCommandsTest, WhatChoosingARowDoes) {
    const std::string failed = "|bringToFront|alert QUORVEL Connect needs attention / ";
    const std::string ask = "|bringToFront|alert Stop QUORVEL Connect? / ";
    const std::string counted =
        " listeners were connected at the last check. Stopping disconnects listeners and stops all "
        "language streams. [Cancel (Escape)] [Stop QUORVEL Connect]";
    const std::string general =
        "This stops all language streams and disconnects any listeners. The app will stay stopped "
        "until you start it again, or until your next sign-in if automatic startup is enabled. "
        "[Cancel (Escape)] [Stop QUORVEL Connect]";
    const std::optional<std::size_t> none;
    const char* stopped = R"("state": "Stopped", "configured": true)";
    const char* pages = R"("owned": [false, true])";
    const char* start = "Start QUORVEL Connect";
    const char* stop = "Stop QUORVEL Connect…";
    const char* automatic = "Start automatically when I sign in";
    const char* quit = "Quit QUORVEL Connect…";
    const struct {
        const char* status;
        const char* row;
        std::optional<std::size_t> answer;
        const char* reply;
        std::string seen;
        const char* poll = nullptr;
    } cases[] = {
        // A success replaces the state wholesale; a failure says why, then asks for a status.
        {stopped, start, none, R"({"ok": true})", "Needs attention|perform start"},
        {stopped, start, none, R"({"ok": false, "error": "In use"})",
         "Starting…|perform start" + failed + "In use|perform status"},
        {stopped, start, none, R"({"ok": false, "error": 42})",
         "Starting…|perform start" + failed + "The action did not complete.|perform status"},
        // Stopping asks first, naming a positive whole count; only the second button stops.
        {R"("owned": [true], "listeners": 1)", stop, 1, nullptr,
         "Stopping…" + ask + "1" + counted + "|perform stop"},
        {R"("owned": [true], "listeners": 0)", stop, none, nullptr,
         "Needs attention" + ask + general},
        {R"("owned": [true], "listeners": "3")", stop, 0, nullptr,
         "Needs attention" + ask + general},
        // Only a real true counts as on.
        {R"("configured": true, "automatic": true)", automatic, none, nullptr,
         "Saving…|perform auto-off"},
        {R"("configured": true, "automatic": "true")", automatic, none, nullptr,
         "Saving…|perform auto-on"},
        // Quitting with nothing owned ends at once; otherwise only after a successful stop.
        {R"("owned": [false, false])", quit, 1, nullptr, "Needs attention|terminate"},
        {R"("owned": [true])", quit, 0, nullptr, "Needs attention" + ask + general},
        {R"("owned": [false, true])", quit, 1, R"({"ok": false})",
         "Stopping…" + ask + general + "|perform stop" + failed +
             "The action did not complete.|perform status"},
        {R"("owned": [true])", quit, 1, R"({"ok": true})",
         "Needs attention" + ask + general + "|perform stop|terminate"},
        // The three places open and nothing else happens.
        {pages, "Open Dashboard", none, nullptr,
         "Needs attention|open http://127.0.0.1:8080/admin"},
        {pages, "Show Listener QR Code", none, nullptr,
         "Needs attention|open http://127.0.0.1:8080/admin/qr-code"},
        {pages, "Open Logs", none, nullptr, "Needs attention|open /Applications/logs"},
        // A choice during a poll waits for its reply, then runs from the state it brings; the
        // second choice is dropped.
        {stopped, start, none, nullptr, "Starting…|perform status|perform start", stopped},
        {stopped, start, none, nullptr, "Running|perform status", R"("state": "Running")"},
        {R"("owned": [true], "listeners": 1)", stop, 1, nullptr,
         "Stopping…|perform status" + ask + "12" + counted + "|perform stop",
         R"("owned": [true], "listeners": 12)"},
        {R"("owned": [true], "state": "Stopped", "configured": true)", stop, 0, nullptr,
         "Stopped|perform status" + ask + general,
         R"("owned": [true], "state": "Stopped", "configured": true)"},
        {R"("configured": true)", automatic, none, nullptr,
         "Saving…|perform status|perform auto-off", R"("configured": true, "automatic": true)"},
        {R"("owned": [true])", quit, 1, R"({"ok": true})",
         "Needs attention|perform status" + ask + general + "|perform stop|terminate",
         R"("owned": [true])"},
        {R"("owned": [false])", quit, none, nullptr, "Needs attention|perform status|terminate",
         R"("owned": [true])"},
    };
    for (const auto& c : cases) {
        FakeDesktop desktop;
        desktop.launch();
        desktop.reply(ControlReply::parse(std::string(R"({"ok": true, )") + c.status + "}"));
        desktop.program = "/Applications/QUORVEL Connect.app/";
        desktop.answer = c.answer;
        desktop.events.clear();
        if (c.poll != nullptr) {
            desktop.tick();
            desktop.choose(c.row);
            desktop.choose(start);
            desktop.reply(ControlReply::parse(std::string(R"({"ok": true, )") + c.poll + "}"));
        } else {
            desktop.choose(c.row);
        }
        if (c.reply != nullptr) {
            desktop.reply(ControlReply::parse(c.reply));
        }
        std::string seen = desktop.headline().text;
        for (const std::string& event : desktop.events) {
            seen += "|" + event;
        }
        EXPECT_EQ(seen, "QUORVEL Connect · " + c.seen);
    }
}

}  // namespace quorvel::fakes
