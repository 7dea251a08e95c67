#include <gtest/gtest.h>

#include "tests/support/fake_desktop.h"

namespace quorvel::fakes {

// The menu in one line: headline | detail row | its tooltip | the icon's tooltip | which command
// rows are enabled, top to bottom, then the check mark.
std::string look(const FakeDesktop& desktop) {
    std::string seen = desktop.headline().text + "|" + desktop.detail().text + "|" +
                       desktop.detail().toolTip.value_or("none") + "|" +
                       desktop.iconToolTip.value_or("none") + "|";
    for (const char* row : {"Start QUORVEL Connect", "Stop QUORVEL Connect…", "Open Dashboard",
                            "Show Listener QR Code", "Start automatically when I sign in",
                            "Open Logs", "Quit QUORVEL Connect…"}) {
        seen += desktop.row(row).enabled ? '+' : '-';
    }
    return seen + (desktop.row("Start automatically when I sign in").checked ? "|checked" : "");
}

// Each reply is drawn over a menu that showed everything on, so nothing may be left over from it. A
// reply that is not ok leaves nothing but its "error".
TEST(RenderTest, RepliesAsAPersonSeesThem) {
    const ControlReply everythingOn =
        R"({"ok": true, "state": "Stopped", "listeners": 7, "detail": "Earlier", "owned": [true,
            true], "configured": true, "automatic": true})"_json;
    const struct {
        ControlReply reply;
        std::string seen;
    } cases[] = {
        {R"({"ok": true})"_json,
         "Needs attention|Listener count unavailable|none|Needs attention|-----++"},
        {R"({"ok": true, "state": "Running", "listeners": 3, "detail": "On 8080", "owned": [true,
             true], "configured": true, "automatic": true})"_json,
         "Running|3 connected listeners|On 8080|On 8080|-++++++|checked"},
        {R"({"ok": true, "state": "Stopped", "configured": true, "listeners": 0})"_json,
         "Stopped|0 connected listeners|none|Stopped|+---+++"},
        {R"({"ok": true, "state": "Stopped", "configured": false, "owned": [true]})"_json,
         "Stopped|Listener count unavailable|none|Stopped|-+---++"},
        {R"({"ok": true, "state": 5, "detail": "odd", "listeners": 1})"_json,
         "Needs attention|1 connected listener|odd|odd|-----++"},
        {R"({"ok": true, "state": "Running", "detail": "", "listeners": -1})"_json,
         "Running|-1 connected listeners|||-----++"},
        {R"({"ok": true, "state": "Running", "detail": 12, "listeners": "3", "owned": [true]})"_json,
         "Running|Listener count unavailable|none|Running|-+---++"},
        {R"({"ok": true, "state": "Running", "owned": [false, true]})"_json,
         "Running|Listener count unavailable|none|Running|-+++-++"},
        {R"({"ok": true, "state": "Running", "owned": [true, true], "foreign": true})"_json,
         "Running|Listener count unavailable|none|Running|--++-++"},
        {R"({"ok": false, "error": "Failed", "state": "Running", "listeners": 3, "owned": [true,
             true], "configured": true, "automatic": true})"_json,
         "Needs attention|Listener count unavailable|Failed|Failed|-----++"},
        {R"({"ok": false, "error": 42})"_json,
         "Needs attention|Listener count unavailable|none|Needs attention|-----++"},
        {R"({"state": "Running"})"_json,
         "Needs attention|Listener count unavailable|Unable to read status|Unable to read "
         "status|-----++"},
    };
    for (const auto& c : cases) {
        FakeDesktop desktop;
        desktop.launch();
        desktop.reply(everythingOn);
        desktop.tick();
        desktop.reply(c.reply);
        EXPECT_EQ(look(desktop), "QUORVEL Connect · " + c.seen) << c.reply;
    }

    // While a command runs, every command row but "Open Logs" is off; the rest is still drawn.
    FakeDesktop desktop;
    desktop.launch();
    desktop.reply(everythingOn);
    desktop.choose("Start automatically when I sign in");
    EXPECT_EQ(look(desktop),
              "QUORVEL Connect · Saving…|7 connected listeners|Earlier|Earlier|-----+-|checked");
}

}  // namespace quorvel::fakes
