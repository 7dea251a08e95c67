#include <gmock/gmock.h>

#include "tests/core/controller_test.h"

namespace quorvel::fakes {
namespace {

using RenderTest = ControllerTest;

constexpr const char* everythingOn =
    R"({"ok": true, "state": "Stopped", "listeners": 7, "detail": "Earlier detail",
        "owned": [true, true], "configured": true, "automatic": true})";

// What a person sees of the menu, in a form one table row can state.
struct Seen {
    std::string headline;
    std::string detail;
    std::optional<std::string> detailToolTip;
    std::optional<std::string> iconToolTip;
    // Enabled flags of Start, Stop, Dashboard, QR code, Automatic start and Quit: '+' or '-'.
    std::string enabled;
    bool automaticChecked;

    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& seen) {
    return out << '"' << seen.headline << "\" / \"" << seen.detail << "\" tooltip "
               << seen.detailToolTip.value_or("(none)") << " / icon "
               << seen.iconToolTip.value_or("(none)") << " / " << seen.enabled
               << (seen.automaticChecked ? " checked" : "");
}

Seen look(RecordingPlatform& desktop) {
    const std::vector<RowView> rows = desktop.openMenu();
    Seen seen{rows[0].title, rows[1].title, rows[1].toolTip, desktop.icon()->toolTip, "", false};
    for (const char* title :
         {"Start QUORVEL Connect", "Stop QUORVEL Connect…", "Open Dashboard",
          "Show Listener QR Code", "Start automatically when I sign in", "Quit QUORVEL Connect…"}) {
        const auto row = std::find_if(rows.begin(), rows.end(),
                                      [&](const RowView& r) { return r.title == title; });
        seen.enabled += row->enabled ? '+' : '-';
    }
    for (const RowView& row : rows) {
        if (row.title == "Start automatically when I sign in") {
            seen.automaticChecked = row.checked;
        } else {
            EXPECT_FALSE(row.checked) << row;
        }
        if (row.title == "Open Logs") {
            EXPECT_TRUE(row.enabled) << "Open Logs must stay enabled";
        }
    }
    EXPECT_FALSE(rows[0].enabled);
    EXPECT_FALSE(rows[1].enabled);
    return seen;
}

// Each reply is drawn over a menu that showed everything on, so nothing may be left over from it.
TEST_F(RenderTest, RepliesAsAPersonSeesThem) {
    const std::string prefix = "QUORVEL Connect · ";
    const auto none = std::nullopt;
    const struct {
        const char* reply;
        Seen seen;
    } cases[] = {
        // Keys missing: every fallback at once.
        {R"({"ok": true})",
         {prefix + "Needs attention", "Listener count unavailable", none, "Needs attention",
          "-----+", false}},
        {R"({"ok": true, "state": "Running", "listeners": 3, "detail": "Serving on 8080",
             "owned": [true, true], "configured": true, "automatic": true})",
         {prefix + "Running", "3 connected listeners", "Serving on 8080", "Serving on 8080",
          "-+++++", true}},
        {R"({"ok": true, "state": "Stopped", "configured": true, "listeners": 0})",
         {prefix + "Stopped", "0 connected listeners", none, "Stopped", "+---++", false}},
        // Only the exact word "Stopped" allows Start, and only when configured.
        {R"({"ok": true, "state": "stopped", "configured": true})",
         {prefix + "stopped", "Listener count unavailable", none, "stopped", "----++", false}},
        {R"({"ok": true, "state": "STOPPED", "configured": true})",
         {prefix + "STOPPED", "Listener count unavailable", none, "STOPPED", "----++", false}},
        {R"({"ok": true, "state": "Stopped", "configured": "true", "automatic": "true"})",
         {prefix + "Stopped", "Listener count unavailable", none, "Stopped", "-----+", false}},
        {R"({"ok": true, "state": "Stopped", "configured": 1, "automatic": 1})",
         {prefix + "Stopped", "Listener count unavailable", none, "Stopped", "-----+", false}},
        // The listener count: singular only for 1, negative as it comes, anything else unknown.
        {R"({"ok": true, "state": "Running", "listeners": 1})",
         {prefix + "Running", "1 connected listener", none, "Running", "-----+", false}},
        {R"({"ok": true, "state": "Running", "listeners": 2})",
         {prefix + "Running", "2 connected listeners", none, "Running", "-----+", false}},
        {R"({"ok": true, "state": "Running", "listeners": -1})",
         {prefix + "Running", "-1 connected listeners", none, "Running", "-----+", false}},
        {R"({"ok": true, "state": "Running", "listeners": 1234567})",
         {prefix + "Running", "1234567 connected listeners", none, "Running", "-----+", false}},
        {R"({"ok": true, "state": "Running", "listeners": 4.0})",
         {prefix + "Running", "4 connected listeners", none, "Running", "-----+", false}},
        {R"({"ok": true, "state": "Running", "listeners": "3"})",
         {prefix + "Running", "Listener count unavailable", none, "Running", "-----+", false}},
        {R"({"ok": true, "state": "Running", "listeners": 2.5})",
         {prefix + "Running", "Listener count unavailable", none, "Running", "-----+", false}},
        {R"({"ok": true, "state": "Running", "listeners": null})",
         {prefix + "Running", "Listener count unavailable", none, "Running", "-----+", false}},
        {R"({"ok": true, "state": "Running", "listeners": true})",
         {prefix + "Running", "Listener count unavailable", none, "Running", "-----+", false}},
        // The state word and the tooltips.
        {R"({"ok": true, "state": ""})",
         {prefix, "Listener count unavailable", none, "", "-----+", false}},
        {R"({"ok": true, "state": 5, "detail": "odd state"})",
         {prefix + "Needs attention", "Listener count unavailable", "odd state", "odd state",
          "-----+", false}},
        {R"({"ok": true, "state": "Running", "detail": ""})",
         {prefix + "Running", "Listener count unavailable", "", "", "-----+", false}},
        {R"({"ok": true, "state": "Running", "detail": 12})",
         {prefix + "Running", "Listener count unavailable", none, "Running", "-----+", false}},
        {R"({"ok": true, "state": "<b>Bold</b> & co", "detail": "a\nb"})",
         {prefix + "<b>Bold</b> & co", "Listener count unavailable", "a\nb", "a\nb", "-----+",
          false}},
        // What is owned decides Stop, and the second element the two pages.
        {R"({"ok": true, "state": "Running", "owned": [true]})",
         {prefix + "Running", "Listener count unavailable", none, "Running", "-+---+", false}},
        {R"({"ok": true, "state": "Running", "owned": [false, true]})",
         {prefix + "Running", "Listener count unavailable", none, "Running", "-+++-+", false}},
        {R"({"ok": true, "state": "Running", "owned": [true, false]})",
         {prefix + "Running", "Listener count unavailable", none, "Running", "-+---+", false}},
        {R"({"ok": true, "state": "Running", "owned": [false, false, true]})",
         {prefix + "Running", "Listener count unavailable", none, "Running", "-+---+", false}},
        {R"({"ok": true, "state": "Running", "owned": [false, false]})",
         {prefix + "Running", "Listener count unavailable", none, "Running", "-----+", false}},
        {R"({"ok": true, "state": "Running", "owned": []})",
         {prefix + "Running", "Listener count unavailable", none, "Running", "-----+", false}},
        {R"({"ok": true, "state": "Running", "owned": true})",
         {prefix + "Running", "Listener count unavailable", none, "Running", "-----+", false}},
        {R"({"ok": true, "state": "Running", "owned": [true, "true"]})",
         {prefix + "Running", "Listener count unavailable", none, "Running", "-----+", false}},
        {R"({"ok": true, "state": "Running", "owned": [true, 1]})",
         {prefix + "Running", "Listener count unavailable", none, "Running", "-----+", false}},
        {R"({"ok": true, "state": "Running", "owned": [true, true], "foreign": true})",
         {prefix + "Running", "Listener count unavailable", none, "Running", "--++-+", false}},
        {R"({"ok": true, "state": "Running", "owned": [true, true], "foreign": "true"})",
         {prefix + "Running", "Listener count unavailable", none, "Running", "-+++-+", false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        ControllerHarness controller;
        controller.launchShowing(everythingOn);
        controller.poll(c.reply);
        EXPECT_EQ(look(controller.desktop), c.seen);
    }
}

// While a command runs, every command row but "Open Logs" is off; the rest is still drawn.
TEST_F(RenderTest, BusyDisablesEveryCommandButOpenLogs) {
    launchShowing(everythingOn);
    desktop.choose("Start automatically when I sign in");

    EXPECT_EQ(look(desktop), (Seen{"QUORVEL Connect · Saving…", "7 connected listeners",
                                   "Earlier detail", "Earlier detail", "------", true}));
}

}  // namespace
}  // namespace quorvel::fakes
